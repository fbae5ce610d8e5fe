#pragma once

#include <optional>

#include <QString>

class QWidget;

namespace kestrel {

// What the main window asks of the system's file-open dialog.
struct FileOpenRequest {
  QString title;
  QString filter;  // "Description (*.ext)"; matched without regard to case
  bool fileMustExist = true;
  bool pathMustExist = true;
  bool readOnlyTicked = true;  // where the dialog has a read-only box
};

class IFileOpenDialog {
 public:
  virtual ~IFileOpenDialog() = default;
  // Shows the dialog modally over `owner`; the chosen file's full path, or
  // nothing when the user cancels.
  virtual std::optional<QString> Ask(QWidget* owner, const FileOpenRequest& request) = 0;
};

}  // namespace kestrel
