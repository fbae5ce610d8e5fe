// What a screen reader is told about the painted controls and the main
// window: Qt gives a plain frame or a dialog no fitting role, so a widget
// may name its role here; one that shows a value on a scale also gives that
// value, minimum and maximum.
#pragma once

#include <QAccessible>

class QWidget;

namespace kestrel {

class IAccessibleValue {
 public:
  virtual ~IAccessibleValue() = default;
  virtual int AccessibleValue() const = 0;
  virtual int AccessibleMinimum() const = 0;
  virtual int AccessibleMaximum() const = 0;
};

// From now on `widget` is presented with `role`; a widget that is also an
// IAccessibleValue offers its value too.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);

}  // namespace kestrel
