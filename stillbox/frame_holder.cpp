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

void CFrameHolder::Draw(QPainter& painter, const QRect& destination, const QRect& clip) const {
  if (m_image.isNull()) return;
  painter.save();
  painter.setClipRect(clip);
  painter.drawImage(destination.topLeft(), m_image);
  painter.restore();
}
