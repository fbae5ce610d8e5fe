#include "image_button.h"

#include <algorithm>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

#include "picture_resources.h"
#include "string_table.h"
#include "tool_tip.h"

namespace kestrel {

namespace {

constexpr int kFocusInset = 3;

// One line of solid pixels from (x0, y0) towards (x1, y1), without the end
// point, so that a border's sides meet without covering a corner twice; lines
// are horizontal or vertical.
void LineTo(QPainter& painter, int x0, int y0, int x1, int y1, const QColor& colour) {
  if (y0 == y1) {
    const int from = std::min(x0, x1 + (x1 < x0 ? 1 : 0));
    const int to = std::max(x0, x1 - (x1 > x0 ? 1 : 0));
    if (x0 != x1) painter.fillRect(QRect(QPoint(from, y0), QPoint(to, y0)), colour);
  } else if (x0 == x1) {
    const int from = std::min(y0, y1 + (y1 < y0 ? 1 : 0));
    const int to = std::max(y0, y1 - (y1 > y0 ? 1 : 0));
    painter.fillRect(QRect(QPoint(x0, from), QPoint(x0, to)), colour);
  }
}

// A dotted rectangle, every other pixel in `colour`, inset from the button's
// edges so that it stays clear of the raised or sunken border.
void DrawFocusMark(QPainter& painter, const QRect& button, const QColor& colour) {
  const QRect mark = button.adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset);
  if (mark.width() < 2 || mark.height() < 2) return;
  auto dot = [&](int x, int y) {
    if ((x + y) % 2 == 0) painter.fillRect(x, y, 1, 1, colour);
  };
  for (int x = mark.left(); x <= mark.right(); ++x) {
    dot(x, mark.top());
    dot(x, mark.bottom());
  }
  for (int y = mark.top() + 1; y < mark.bottom(); ++y) {
    dot(mark.left(), y);
    dot(mark.right(), y);
  }
}

}  // namespace

CImageButton::CImageButton(QWidget* parent) : QPushButton(parent) {
  // The button paints itself; Return must not press it as a dialog default.
  setAutoDefault(false);
  setFlat(true);
  // Moves arrive without a button held, so that hot tracking sees the pointer.
  setMouseTracking(true);
}

bool CImageButton::SetIcons(int iconA, int iconB) {
  bool ok = true;
  const std::optional<IconResource> a = LoadIconResource(iconA);
  iconAId_ = a ? iconA : 0;
  if (!a) {
    iconA_.reset();
    iconB_.reset();
    ok = false;
  } else {
    iconA_ = a->icon;
    if (iconB == 0) {
      iconB_ = iconA_;
    } else if (const std::optional<IconResource> b = LoadIconResource(iconB)) {
      iconB_ = b->icon;
    } else {
      iconB_.reset();
      ok = false;
    }
    // An icon's hot spot is its centre; the image is twice that.
    imageWidth_ = static_cast<std::uint8_t>(2 * (a->size.width() / 2));
    imageHeight_ = static_cast<std::uint8_t>(2 * (a->size.height() / 2));
  }
  repaint();
  return ok;
}

bool CImageButton::SetHoverCursor(int cursorId) {
  const std::optional<QCursor> cursor = LoadCursorResource(cursorId);
  if (!cursor) return false;
  setCursor(*cursor);
  hasCursor_ = true;
  return true;
}

bool CImageButton::SetToolTipText(int stringId) {
  const QString text = LoadString(stringId);
  if (text.isEmpty()) return false;
  EnsureToolTip();
  if (!toolTip_->HasTool()) toolTip_->AddTool(rect(), text);
  toolTip_->UpdateTipText(text);
  toolTip_->Activate(true);
  // A screen reader names the button by its tip.
  setAccessibleName(text);
  return true;
}

void CImageButton::SetLatched(bool latched) {
  latched_ = latched;
  repaint();
}

void CImageButton::EnsureToolTip() {
  if (toolTip_) return;
  toolTip_ = new CToolTip(this);
  toolTip_->Activate(true);
}

bool CImageButton::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Hide:
      // What the pointer does, the tool tip sees first.
      EnsureToolTip();
      toolTip_->RelayEvent(event);
      break;
    case QEvent::ToolTip:
      return true;  // ours has its own delays
    default:
      break;
  }
  if (event->type() == QEvent::Resize && toolTip_ && toolTip_->HasTool()) {
    toolTip_->AddTool(rect(), toolTip_->Text());
  }
  return QPushButton::event(event);
}

void CImageButton::SetHot(bool hot) {
  if (hot_ == hot) return;
  hot_ = hot;
  update();
}

void CImageButton::mouseMoveEvent(QMouseEvent* event) {
  QPushButton::mouseMoveEvent(event);
  const bool leftDown = event->buttons() & Qt::LeftButton;
  if (leftDown && !hot_) return;
  if (!hot_ && QApplication::activeWindow() && parentWidget()) {
    SetHot(true);
    return;
  }
  if (rect().contains(event->position().toPoint())) return;
  // The pointer has left; a held button keeps the mouse grab, so that a
  // release outside does not click.
  SetHot(false);
}

void CImageButton::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  // Without a grab, no move outside arrives: leaving is the last word.
  if (!(QApplication::mouseButtons() & Qt::LeftButton)) SetHot(false);
}

void CImageButton::focusOutEvent(QFocusEvent* event) {
  QPushButton::focusOutEvent(event);
  SetHot(false);
}

void CImageButton::mouseDoubleClickEvent(QMouseEvent* event) {
  // Quick successive clicks each act as a click.
  mousePressEvent(event);
}

void CImageButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect r = rect();
  const int left = r.left();
  const int top = r.top();
  const int right = r.left() + r.width();  // exclusive: the border's lines stop before it
  const int bottom = r.top() + r.height();
  const bool pressed = latched_ || isDown();

  const QPalette& colours = palette();
  painter.fillRect(r, latched_ ? colours.color(QPalette::Disabled, QPalette::Text) : colours.color(QPalette::Button));

  if (pressed || hot_) {
    const QColor shadow = colours.color(QPalette::Dark);
    const QColor highlight = colours.color(QPalette::Light);
    const QColor topLeft = pressed ? shadow : highlight;
    const QColor bottomRight = pressed ? highlight : shadow;
    LineTo(painter, left, bottom - 1, left, top, topLeft);
    LineTo(painter, left, top, right, top, topLeft);
    LineTo(painter, left, bottom - 1, right - 1, bottom - 1, bottomRight);
    LineTo(painter, right - 1, bottom - 1, right - 1, top - 1, bottomRight);
  }

  int x = left + (r.width() - imageWidth_) / 2;
  int y = top + (r.height() - imageHeight_) / 2;
  if (pressed) {
    ++x;
    ++y;
  }
  const std::optional<QIcon>& icon = (hot_ || pressed) ? iconA_ : iconB_;
  if (icon) {
    const QPixmap image = icon->pixmap(QSize(imageWidth_, imageHeight_), devicePixelRatioF(),
                                       isEnabled() ? QIcon::Normal : QIcon::Disabled);
    painter.save();
    painter.setClipRect(QRect(QPoint(x, y), QPoint(right - 1, bottom - 1)));
    painter.drawPixmap(x, y, image);
    painter.restore();
  }

  // Shown once the keyboard has moved the focus in this window, as the
  // style does for its own buttons; a click alone shows no mark.
  QStyleOptionButton option;
  initStyleOption(&option);
  if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_KeyboardFocusChange)) {
    DrawFocusMark(painter, r, colours.color(QPalette::ButtonText));
  }
}

}  // namespace kestrel
