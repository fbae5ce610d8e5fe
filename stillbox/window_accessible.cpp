#include "window_accessible.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

constexpr char kMainWindowProperty[] = "stillboxMainWindow";

QAccessibleInterface* MainWindowFactory(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget || !widget->property(kMainWindowProperty).toBool()) return nullptr;
  return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void PresentAsMainWindow(QWidget* window) {
  static const bool installed = (QAccessible::installFactory(&MainWindowFactory), true);
  (void)installed;
  window->setProperty(kMainWindowProperty, true);
}
