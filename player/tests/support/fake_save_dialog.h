// A file-save dialog that answers with a path chosen by the test.
#pragma once

#include <optional>

#include <QString>

#include "platform/file_save_dialog.h"

namespace kestrel::testing {

class CFakeSaveDialog final : public IFileSaveDialog {
 public:
  std::optional<QString> Ask(QWidget*, const FileSaveRequest& request) override {
    ++asked;
    last = request;
    return answer;
  }
  std::optional<QString> answer;
  FileSaveRequest last;
  int asked = 0;
};

}  // namespace kestrel::testing
