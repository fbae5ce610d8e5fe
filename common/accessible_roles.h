// Qt presents a top-level dialog to a screen reader as a dialog box and a
// plain top-level widget as a filler; both programs' main windows are
// windows. A widget may name its role here.
#pragma once

#include <QAccessible>

class QWidget;

namespace kestrel {

// From now on `widget` is presented with `role`. Call it before the widget
// is shown.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);

}  // namespace kestrel
