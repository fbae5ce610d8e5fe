#include "key_filter.h"

#include "platform/shell_window.h"

#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

bool CKeyFilter::Drops(QObject* receiver, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  if (auto* widget = qobject_cast<QWidget*>(receiver)) {
    // Popup menus and the shell's dialogs run loops of their own, where the
    // keys keep their usual meaning.
    if (IsShellWindow(widget->window()) || qobject_cast<QMenu*>(widget->window())) return false;
  }
  return true;
}

bool CKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (Drops(watched, event)) return true;
  return QObject::eventFilter(watched, event);
}
