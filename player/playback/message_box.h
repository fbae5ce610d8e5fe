#pragma once

class QString;
class QWidget;

namespace kestrel {

// The user sees a failure only as a message box with the stop icon.
class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  // Shows the box modally over `parent` and returns when it is dismissed.
  virtual void ShowStop(QWidget* parent, const QString& caption, const QString& text) = 0;
};

}  // namespace kestrel
