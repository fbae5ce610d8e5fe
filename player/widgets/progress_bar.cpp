#include "progress_bar.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

namespace kestrel {

CProgressBar::CProgressBar(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  // The desktop colour has no counterpart here; the palette's dark shade stands in.
  ground_ = FromQRgb(palette().color(QPalette::Dark).rgb());
  setAccessibleName(QStringLiteral("Progress"));
  setAccessibleDescription(QStringLiteral("How much of the message has been played"));
}

void CProgressBar::Advance() {
  if (leading_ < total_) {
    leading_ = leading_ + step_ >= total_ ? total_ : leading_ + step_;
  } else {
    leading_ = total_;
  }
  if (leading_ >= lag_) trailing_ = trailing_ + step_ < total_ ? trailing_ + step_ : total_;
  repaint();
}

void CProgressBar::Reset() {
  leading_ = trailing_ = 0;
  update();
}

void CProgressBar::SetPosition(std::int64_t leading) {
  leading_ = std::clamp<std::int64_t>(leading, 0, std::max<std::int64_t>(total_, 0));
  trailing_ = leading_ >= lag_ ? std::min(leading_ - lag_ + 1, total_) : 0;
  update();
}

std::int64_t CProgressBar::PositionAt(int x) const {
  const QRect client = contentsRect();
  if (total_ <= 0 || client.width() <= 0) return 0;
  const std::int64_t from = std::clamp(x - client.left(), 0, client.width());
  // Whole steps: a pointer inside the strip never reaches the total.
  return static_cast<std::int64_t>(static_cast<double>(from) * static_cast<double>(total_) / client.width());
}

void CProgressBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || total_ <= 0) return QFrame::mousePressEvent(event);
  dragging_ = true;
  emit PointerMoved(PositionAt(event->position().toPoint().x()));
}

void CProgressBar::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return QFrame::mouseMoveEvent(event);
  emit PointerMoved(PositionAt(event->position().toPoint().x()));
}

void CProgressBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return QFrame::mouseReleaseEvent(event);
  dragging_ = false;
  emit PointerReleased(PositionAt(event->position().toPoint().x()));
}

void CProgressBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect client = contentsRect();
  painter.translate(client.topLeft());
  const int w = client.width();
  const int h = client.height();
  const QColor ground = QColor::fromRgb(ToQRgb(ground_));
  if (total_ <= 0) {
    painter.fillRect(0, 0, w, h, ground);
  } else {
    const int xT = static_cast<int>(static_cast<float>(static_cast<double>(trailing_) / total_ * w));
    const int xL = static_cast<int>(w * (static_cast<double>(leading_) / total_));
    painter.fillRect(0, 0, xT, h, ground);
    painter.fillRect(xL, 0, w - xL, h, ground);
    painter.fillRect(xT, 0, xL - xT, h, QColor::fromRgb(ToQRgb(band_)));
  }
  painter.resetTransform();
  drawFrame(&painter);
}

}  // namespace kestrel
