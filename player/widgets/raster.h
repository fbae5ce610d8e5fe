// Pixel-exact drawing on 32-bit images, for the painted controls, whose
// pictures are given pixel by pixel: a rectangle covers its left and top edge
// but not its right and bottom one, and a line covers its start point but not
// its end point, so that shapes which share an edge never overlap.
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
