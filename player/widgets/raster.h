// Pixel-exact drawing on 32-bit images with the rules the painted controls
// are specified in: rectangles exclude their right and bottom edge, and a
// line excludes its end point.
#pragma once

#include <QImage>
#include <QRect>

namespace kestrel {

// The rectangle from (left, top) up to, not including, (right, bottom).
QRect Span(int left, int top, int right, int bottom);

void FillSpan(QImage& image, const QRect& span, QRgb colour);

// Where a logical coordinate falls on an image of `ratio` device pixels per
// logical pixel: the first device pixel of that logical pixel.
int ToDevice(int logical, qreal ratio);
// The device pixels a logical rectangle covers.
QRect ToDevice(const QRect& logical, qreal ratio);

// A one-pixel line from `from` towards `to`, without the end point, drawing
// only inside `clip`.
void DrawLine(QImage& image, QPoint from, QPoint to, QRgb colour, const QRect& clip);

// Copies the `size` block at `from` to `to` inside the same image, drawing
// only inside `clip`; overlapping blocks copy as if through a spare buffer.
void CopyWithin(QImage& image, QPoint from, QPoint to, QSize size, const QRect& clip);

}  // namespace kestrel
