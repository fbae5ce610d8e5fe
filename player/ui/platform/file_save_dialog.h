#pragma once

#include <optional>

#include <QString>

class QWidget;

namespace kestrel {

// What the main window asks of the system's file-save dialog.
struct FileSaveRequest {
  QString title;
  QString filter;         // "Description (*.ext)"; matched without regard to case
  QString proposedPath;   // folder and name offered
  QString defaultSuffix;  // added to a name typed without one
};

class IFileSaveDialog {
 public:
  virtual ~IFileSaveDialog() = default;
  // Shows the dialog modally over `owner`; the full path chosen (an existing
  // file only once the user has agreed to replace it), or nothing when the
  // user cancels.
  virtual std::optional<QString> Ask(QWidget* owner, const FileSaveRequest& request) = 0;
};

}  // namespace kestrel
