#include "key_filter.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>
#include <QWindow>

namespace kestrel {

namespace {

// Key presses reach a top-level window first, then its focus widget.
const QWidget* WindowOf(QObject* receiver) {
  if (const auto* widget = qobject_cast<QWidget*>(receiver)) return widget->window();
  if (const auto* window = qobject_cast<QWindow*>(receiver)) {
    for (const QWidget* topLevel : QApplication::topLevelWidgets()) {
      if (topLevel->windowHandle() == window) return topLevel;
    }
  }
  return nullptr;
}

}  // namespace

bool CKeyFilter::Drops(QObject* receiver, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  const QWidget* window = WindowOf(receiver);
  return !(qobject_cast<const QMenu*>(window) || qobject_cast<const QMessageBox*>(window) ||
           qobject_cast<const QFileDialog*>(window));
}

bool CKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (Drops(watched, event)) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace kestrel
