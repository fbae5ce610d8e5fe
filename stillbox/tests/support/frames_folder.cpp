#include "frames_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace kestrel::stillbox {

FramesFolder::FramesFolder() { QDir(dir_.path()).mkdir(QStringLiteral("Frames")); }

QString FramesFolder::FramesPath() const { return dir_.filePath(QStringLiteral("Frames")); }

QString FramesFolder::FramePath(const QString& name) const { return FramesPath() + QLatin1Char('/') + name; }

void FramesFolder::AddFrame(const QString& name, const QColor& colour, QSize size) const {
  QImage image(size, QImage::Format_RGB888);
  image.fill(colour);
  AddPicture(name, image);
}

void FramesFolder::AddPicture(const QString& name, const QImage& image) const {
  ASSERT_TRUE(image.save(FramePath(name), "BMP")) << name.toStdString();
}

void FramesFolder::AddIndexedFrame(const QString& name) const {
  QImage image(320, 240, QImage::Format_Indexed8);
  image.setColorCount(256);  // fewer colours would be written with 4 bits
  image.setColor(0, qRgb(200, 10, 10));
  image.setColor(1, qRgb(10, 10, 200));
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) image.setPixel(x, y, y < 120 ? 0 : 1);
  }
  AddPicture(name, image);
  ASSERT_EQ(BitmapBitCount(FramePath(name)), 8) << "the test frame must really have 8 bits per pixel";
}

void FramesFolder::AddBrokenFile(const QString& name) const {
  QFile file(FramePath(name));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("BM not a bitmap at all");
}

void FramesFolder::AddFile(const QByteArray& name, const QByteArray& bytes) const {
  // Named by its bytes, which QFile would not keep.
  const QByteArray path = QFile::encodeName(FramesPath()) + '/' + name;
  const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0) << path.toStdString();
  const bool written = ::write(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) == bytes.size();
  ::close(fd);
  ASSERT_TRUE(written);
}

int BitmapBitCount(const QString& path) {
  const QByteArray bytes = FileBytes(path);
  if (bytes.size() < 30 || !bytes.startsWith("BM")) return -1;
  return static_cast<unsigned char>(bytes[28]) | (static_cast<unsigned char>(bytes[29]) << 8);
}

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace kestrel::stillbox
