#include "key_filter.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>

namespace kestrel {

bool CKeyFilter::Drops(QObject* receiver, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  if (auto* widget = qobject_cast<QWidget*>(receiver)) {
    const QWidget* window = widget->window();
    if (qobject_cast<const QMenu*>(window) || qobject_cast<const QMessageBox*>(window) ||
        qobject_cast<const QFileDialog*>(window)) {
      return false;
    }
  }
  return true;
}

bool CKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (Drops(watched, event)) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace kestrel
