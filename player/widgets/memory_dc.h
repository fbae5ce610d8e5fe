// Off-screen drawing: painting goes into an image and is copied to the
// target in one piece when the context is closed (destroyed), so that a
// control repainted many times a second does not flicker. The image is the
// control's own, made once at its size, so painting allocates nothing.
#pragma once

#include <optional>

#include <QImage>
#include <QPainter>
#include <QRect>

namespace kestrel {

class CMemoryDC {
 public:
  // Over `target` (a painter open on the control, in client coordinates)
  // for `rect`, pre-filled with `background`. What is drawn at a point of
  // the off-screen image shows at the same point of the target. An image
  // with a device pixel ratio is addressed in logical coordinates through a
  // painter, and its device pixels reach the screen one to one.
  CMemoryDC(QPainter& target, QImage& offscreen, const QRect& rect, QRgb background);
  // As above without the fill.
  CMemoryDC(QPainter& target, QImage& offscreen, const QRect& rect);
  ~CMemoryDC();
  CMemoryDC(const CMemoryDC&) = delete;
  CMemoryDC& operator=(const CMemoryDC&) = delete;

  QImage& Image() { return offscreen_; }
  const QRect& Rect() const { return rect_; }

 private:
  QPainter& target_;
  QImage& offscreen_;
  QRect rect_;        // logical
  QRect deviceRect_;  // the same in the image's pixels
};

}  // namespace kestrel
