#include "frame_holder.h"

#include <QImageReader>
#include <QPainter>

#include <cstring>

bool CFrameHolder::Load(const QString& path) {
  m_image = QImage();
  QImageReader reader(path);
  QImage loaded;
  if (!reader.read(&loaded)) return false;
  m_image = loaded.convertToFormat(QImage::Format_BGR888);
  return !m_image.isNull();
}

void CFrameHolder::MakeDibHeader(DibHeader& header) const {
  header = DibHeader{};
  header.size = 40;
  header.width = Width();
  header.height = RowOrder() != 0 ? Height() : -Height();
  header.planes = 1;
  header.bitCount = 24;
}

std::size_t CFrameHolder::PixelByteCount() const {
  return static_cast<std::size_t>(BitsPerPixel() / 8) * Height() * Width();
}

void CFrameHolder::CopyPixels(std::uint8_t* buffer) const {
  // QImage pads rows to four bytes; the DIB rows here have no filler.
  const std::size_t rowBytes = static_cast<std::size_t>(Width()) * 3;
  for (int y = 0; y < Height(); ++y) {
    std::memcpy(buffer + y * rowBytes, m_image.constScanLine(y), rowBytes);
  }
}

void CFrameHolder::Draw(QPainter& painter, const QRect& destination, const QRect& clip) const {
  if (m_image.isNull()) return;
  painter.save();
  painter.setClipRect(clip);
  painter.drawImage(destination.topLeft(), m_image);
  painter.restore();
}
