#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace kestrel::stillbox {

// The desktop's "save as" file dialog.
class ISaveDialog {
 public:
  virtual ~ISaveDialog() = default;
  // Shows the dialog modally over owner; it asks before overwriting an
  // existing file. Returns the absolute path chosen, or nothing when the user
  // cancels.
  virtual std::optional<QString> AskSavePath(QWidget* owner, const QString& title, const QString& filter,
                                             const QString& initialName) = 0;
};

}  // namespace kestrel::stillbox
