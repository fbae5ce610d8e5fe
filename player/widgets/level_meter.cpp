#include "level_meter.h"

#include <QPainter>

#include "memory_dc.h"
#include "raster.h"

namespace kestrel {

CLevelMeter::CLevelMeter(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setAccessibleName(QStringLiteral("Level"));
  setAccessibleDescription(QStringLiteral("The peak level of the sound being played"));
}

void CLevelMeter::SetRange(int minimum, int maximum) {
  if (maximum < minimum || minimum < 0) return;
  minimum_ = minimum;
  maximum_ = maximum;
}

void CLevelMeter::SetPos(int value) {
  if (value < minimum_ || value > maximum_) return;
  value_ = value;
  update();
}

void CLevelMeter::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  offscreen_ = QImage(contentsRect().size(), QImage::Format_RGB32);
}

void CLevelMeter::Draw(QPainter* painter) {
  if (!painter) {
    repaint();
    return;
  }
  if (offscreen_.size() != contentsRect().size()) offscreen_ = QImage(contentsRect().size(), QImage::Format_RGB32);
  painter->save();
  painter->translate(contentsRect().topLeft());
  {
    const QRect rc = offscreen_.rect();
    CMemoryDC memory(*painter, offscreen_, rc);
    QImage& image = memory.Image();
    const int h = rc.height() / segments_;
    FillSpan(image, rc, ToQRgb(ground_));
    const int range = maximum_ - minimum_;
    const int n = range > 0 ? static_cast<int>(static_cast<double>(value_) * segments_ / range) : 0;
    if (n > 0) {
      for (int i = 0; i <= n; ++i) {
        const int q = (i * 255) / segments_;
        // Slot 0 lies below the last whole segment; each slot leaves a
        // one-pixel gap above the next.
        FillSpan(image, QRect(0, (segments_ - i) * h, rc.width(), h - 1), qRgb(q & 0xFF, (255 - q) & 0xFF, 0));
      }
    }
  }
  painter->restore();
}

void CLevelMeter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Draw(&painter);
  drawFrame(&painter);
}

}  // namespace kestrel
