// A file-open dialog that answers with a path chosen by the test.
#pragma once

#include <optional>

#include <QString>

#include "platform/file_open_dialog.h"

namespace kestrel::testing {

class CFakeOpenDialog final : public IFileOpenDialog {
 public:
  std::optional<QString> Ask(QWidget*, const FileOpenRequest& request) override {
    ++asked;
    last = request;
    return answer;
  }
  std::optional<QString> answer;
  FileOpenRequest last;
  int asked = 0;
};

}  // namespace kestrel::testing
