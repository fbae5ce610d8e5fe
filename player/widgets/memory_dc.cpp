#include "memory_dc.h"

#include "raster.h"

namespace kestrel {

CMemoryDC::CMemoryDC(QPainter& target, QImage& offscreen, const QRect& rect, QRgb background)
    : CMemoryDC(target, offscreen, rect) {
  FillSpan(offscreen_, deviceRect_, background);
}

CMemoryDC::CMemoryDC(QPainter& target, QImage& offscreen, const QRect& rect)
    : target_(target),
      offscreen_(offscreen),
      rect_(rect.intersected(QRect(QPoint(0, 0), offscreen.deviceIndependentSize().toSize()))),
      deviceRect_(ToDevice(rect_, offscreen.devicePixelRatio())) {}

CMemoryDC::~CMemoryDC() {
  if (rect_.isEmpty()) return;
  if (offscreen_.devicePixelRatio() == 1.0) {
    target_.drawImage(rect_.topLeft(), offscreen_, rect_);
  } else {
    target_.drawImage(QRectF(rect_), offscreen_, QRectF(deviceRect_));
  }
}

}  // namespace kestrel
