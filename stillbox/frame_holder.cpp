#include "frame_holder.h"

#include "frame_bitmap.h"
#include "platform/native_files.h"

#include <QPainter>

#include <cstring>

namespace {

// A bitmap of the largest picture decoded, at 32 bits per pixel, and its
// headers; anything larger is not read at all.
constexpr std::size_t kMaxFileBytes = static_cast<std::size_t>(kMaxBitmapPixels) * 4 + 4096;
// The read buffer is kept between loads up to this size.
constexpr std::size_t kKeptBufferBytes = 4 * 1024 * 1024;

}  // namespace

bool CFrameHolder::Load(const QString& path) {
  m_image = QImage();
  if (ReadRegularFile(path, m_file, kMaxFileBytes)) m_image = DecodeFrameBitmap(m_file);
  if (m_file.capacity() > kKeptBufferBytes) std::vector<std::uint8_t>().swap(m_file);
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
