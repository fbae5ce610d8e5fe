// File-open and file-save dialogs that answer with a path chosen by the test
// and keep what they were asked.
#pragma once

#include <optional>

#include <QString>

#include "platform/file_open_dialog.h"
#include "platform/file_save_dialog.h"

namespace kestrel::testing {

template <class Dialog, class Request>
class CFakeFileDialog final : public Dialog {
 public:
  std::optional<QString> Ask(QWidget*, const Request& request) override {
    ++asked;
    last = request;
    return answer;
  }
  std::optional<QString> answer;  // nothing: the user cancels
  Request last;
  int asked = 0;
};

using CFakeOpenDialog = CFakeFileDialog<IFileOpenDialog, FileOpenRequest>;
using CFakeSaveDialog = CFakeFileDialog<IFileSaveDialog, FileSaveRequest>;

}  // namespace kestrel::testing
