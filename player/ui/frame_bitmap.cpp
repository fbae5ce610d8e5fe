#include "frame_bitmap.h"

#include <cstring>

#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

#include "message_format.h"

namespace kestrel {

QString ProposedFrameName(const QString& messagePath, std::uint64_t audioFrames) {
  // Five frames make a tenth of a second; halves round up.
  const std::uint64_t tenths = (audioFrames + 2) / 5;
  const std::uint64_t minutes = tenths / 600;
  const std::uint64_t secondTenths = tenths % 600;
  return QStringLiteral("%1-%2m%3.%4s.bmp")
      .arg(QFileInfo(messagePath).completeBaseName())
      .arg(minutes, 2, 10, QLatin1Char('0'))
      .arg(secondTenths / 10, 2, 10, QLatin1Char('0'))
      .arg(secondTenths % 10);
}

bool WriteFrameBitmap(const QString& path, const std::uint8_t* picture) {
  // Upright for the image library; it writes the rows bottom-up again.
  QImage image(kPictureWidth, kPictureHeight, QImage::Format_BGR888);
  for (int y = 0; y < kPictureHeight; ++y) {
    std::memcpy(image.scanLine(y), picture + kPictureRowBytes * (kPictureHeight - 1 - y), kPictureRowBytes);
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QImageWriter writer(&file, "bmp");
  if (!writer.write(image)) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

}  // namespace kestrel
