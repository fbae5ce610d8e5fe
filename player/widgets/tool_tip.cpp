#include "tool_tip.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWidget>

namespace kestrel {

CToolTip::CToolTip(QWidget* owner) : QObject(owner), owner_(owner) {
  delay_.setSingleShot(true);
  connect(&delay_, &QTimer::timeout, this, &CToolTip::ShowNow);
}

void CToolTip::AddTool(const QRect& area, const QString& text) {
  hasTool_ = true;
  area_ = area;
  text_ = text;
}

void CToolTip::UpdateTipText(const QString& text) {
  text_ = text;
  // A tip on the screen changes with its text, as when Play turns into Pause.
  if (showing_ && QToolTip::isVisible()) {
    QToolTip::showText(QCursor::pos(), text_, owner_, area_, kAutoPopMs);
  }
}

void CToolTip::Activate(bool active) {
  active_ = active;
  if (!active_) TakeDown();
}

void CToolTip::RelayEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::Enter:
      shownSinceEnter_ = false;
      if (active_ && hasTool_) delay_.start(kInitialMs);
      break;
    case QEvent::MouseMove: {
      const auto* move = static_cast<QMouseEvent*>(event);
      const bool over = area_.contains(move->position().toPoint());
      if (!over) {
        TakeDown();
      } else if (active_ && hasTool_ && !showing_ && !shownSinceEnter_ && move->buttons() == Qt::NoButton) {
        // The delay restarts while the pointer moves, so the tip waits for it to rest.
        delay_.start(kInitialMs);
      }
      break;
    }
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Hide:
      TakeDown();
      if (event->type() != QEvent::Leave) shownSinceEnter_ = true;
      break;
    default:
      break;
  }
}

void CToolTip::ShowNow() {
  if (!active_ || !hasTool_ || text_.isEmpty() || !owner_->isVisible()) return;
  // While another program is the active one, its windows have the user's
  // attention: no tip, as no hot look.
  if (!QApplication::activeWindow()) return;
  showing_ = true;
  shownSinceEnter_ = true;
  QToolTip::showText(QCursor::pos(), text_, owner_, area_, kAutoPopMs);
}

void CToolTip::TakeDown() {
  delay_.stop();
  if (showing_) {
    showing_ = false;
    QToolTip::hideText();
  }
}

}  // namespace kestrel
