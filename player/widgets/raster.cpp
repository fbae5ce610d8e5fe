#include "raster.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace kestrel {

QRect Span(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

void FillSpan(QImage& image, const QRect& span, QRgb colour) {
  const QRect area = span.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) row[x] = colour;
  }
}

int ToDevice(int logical, qreal ratio) { return static_cast<int>(std::floor(logical * ratio)); }

QRect ToDevice(const QRect& logical, qreal ratio) {
  if (ratio == 1.0) return logical;
  return Span(ToDevice(logical.left(), ratio), ToDevice(logical.top(), ratio),
              ToDevice(logical.left() + logical.width(), ratio), ToDevice(logical.top() + logical.height(), ratio));
}

void DrawLine(QImage& image, QPoint from, QPoint to, QRgb colour, const QRect& clip) {
  const QRect area = clip.intersected(image.rect());
  int x = from.x();
  int y = from.y();
  const int dx = std::abs(to.x() - x);
  const int dy = -std::abs(to.y() - y);
  const int sx = x < to.x() ? 1 : -1;
  const int sy = y < to.y() ? 1 : -1;
  int error = dx + dy;
  while (x != to.x() || y != to.y()) {
    if (area.contains(x, y)) reinterpret_cast<QRgb*>(image.scanLine(y))[x] = colour;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += sx;
    }
    if (twice <= dx) {
      error += dx;
      y += sy;
    }
  }
}

void CopyWithin(QImage& image, QPoint from, QPoint to, QSize size, const QRect& clip) {
  // Clip the destination, and the source with it.
  QRect target = QRect(to, size).intersected(clip).intersected(image.rect());
  QRect source = target.translated(from - to);
  const QRect inside = source.intersected(image.rect());
  target = inside.translated(to - from);
  if (target.isEmpty()) return;
  const int bytes = target.width() * 4;
  auto copyRow = [&](int row) {
    std::memmove(image.scanLine(target.top() + row) + target.left() * 4,
                 image.constScanLine(inside.top() + row) + inside.left() * 4, static_cast<std::size_t>(bytes));
  };
  // Rows moving down are copied from the bottom up, so that none is
  // overwritten before it has been read.
  if (target.top() > inside.top()) {
    for (int row = target.height() - 1; row >= 0; --row) copyRow(row);
  } else {
    for (int row = 0; row < target.height(); ++row) copyRow(row);
  }
}

}  // namespace kestrel
