#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <ostream>

namespace kestrel::stillbox {

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

// A scratch folder with a Frames/ directory, filled by the test itself.
class FramesFolder {
 public:
  FramesFolder();

  QString Path() const { return dir_.path(); }
  QString FramesPath() const;
  QString FramePath(const QString& name) const;

  // A 24-bit bitmap of one colour in Frames/.
  void AddFrame(const QString& name, const QColor& colour = Qt::gray, QSize size = QSize(320, 240)) const;
  // Any picture saved as a bitmap in Frames/.
  void AddPicture(const QString& name, const QImage& image) const;
  // A 320x240 bitmap with 8 bits per pixel.
  void AddIndexedFrame(const QString& name) const;
  // A file named like a bitmap that is none.
  void AddBrokenFile(const QString& name) const;
  // A file of the given bytes in Frames/; name may hold any bytes.
  void AddFile(const QByteArray& name, const QByteArray& bytes) const;

 private:
  QTemporaryDir dir_;
};

// The biBitCount field of a bitmap file, or -1.
int BitmapBitCount(const QString& path);
QByteArray FileBytes(const QString& path);

}  // namespace kestrel::stillbox
