#include "progress_bar.h"

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
