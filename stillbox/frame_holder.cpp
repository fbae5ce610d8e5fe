#include "frame_holder.h"

#include "frame_bitmap.h"
#include "platform/native_files.h"

#include <QPainter>

#include <cstring>

namespace kestrel::stillbox {

namespace {

// A bitmap of the largest picture decoded, at 32 bits per pixel, and its
// headers; anything larger is not read at all.
constexpr std::size_t kMaxFileBytes = static_cast<std::size_t>(kMaxBitmapPixels) * 4 + 4096;
// The read buffer is kept between loads up to this size.
constexpr std::size_t kKeptBufferBytes = 4 * 1024 * 1024;

}  // namespace

bool CFrameHolder::Load(const QString& path) {
  image_ = QImage();
  if (ReadRegularFile(path, file_, kMaxFileBytes)) image_ = DecodeFrameBitmap(file_);
  if (file_.capacity() > kKeptBufferBytes) std::vector<std::uint8_t>().swap(file_);
  return !image_.isNull();
}

void CFrameHolder::Draw(QPainter& painter, const QRect& destination, const QRect& clip) const {
  if (image_.isNull()) return;
  painter.save();
  painter.setClipRect(clip);
  painter.drawImage(destination.topLeft(), image_);
  painter.restore();
}

}  // namespace kestrel::stillbox
