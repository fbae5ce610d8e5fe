#include "key_filter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace kestrel {

namespace {

constexpr char kOwnDialogProperty[] = "kestrelOwnDialog";

// The window a key press is meant for. The window system hands the press to
// a top-level QWindow first (on X11 the one with the input focus, which need
// not be the window the press ends in); Qt then passes it on to the widget
// holding the keyboard grab, else to the open popup, else to the focus widget
// of that window. The press is judged by where it ends, whichever of these
// receives it.
const QWidget* TargetWindow(QObject* receiver) {
  if (const auto* widget = qobject_cast<QWidget*>(receiver)) return widget->window();
  const auto* window = qobject_cast<QWindow*>(receiver);
  if (!window) return nullptr;
  if (const QWidget* grabber = QWidget::keyboardGrabber()) return grabber->window();
  if (const QWidget* popup = QApplication::activePopupWidget()) return popup;
  for (const QWidget* topLevel : QApplication::topLevelWidgets()) {
    if (topLevel->windowHandle() == window) return topLevel;
  }
  return nullptr;
}

bool IsEscapeOrReturnPress(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

void MarkAsOwnDialog(QWidget* window) { window->setProperty(kOwnDialogProperty, true); }

bool IsOwnDialog(const QWidget* window) { return window && window->property(kOwnDialogProperty).toBool(); }

bool CKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (IsEscapeOrReturnPress(event) && IsOwnDialog(TargetWindow(watched))) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace kestrel
