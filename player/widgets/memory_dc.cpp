#include "memory_dc.h"

#include "raster.h"

namespace kestrel {

CMemoryDC::CMemoryDC(QPainter& target, QImage& offscreen, const QRect& rect, QRgb background)
    : CMemoryDC(target, offscreen, rect) {
  FillSpan(offscreen_, rect_, background);
}

CMemoryDC::CMemoryDC(QPainter& target, QImage& offscreen, const QRect& rect)
    : target_(target), offscreen_(offscreen), rect_(rect.intersected(offscreen.rect())) {}

CMemoryDC::~CMemoryDC() {
  if (!rect_.isEmpty()) target_.drawImage(rect_.topLeft(), offscreen_, rect_);
}

}  // namespace kestrel
