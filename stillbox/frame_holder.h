#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

class QPainter;

namespace kestrel::stillbox {

// Holds one picture at a time, converted to 24 bits per pixel (B, G, R bytes).
// Every Load replaces the held picture; a failed Load leaves none, so nothing
// half-loaded or stale is ever drawn under another file's name.
class CFrameHolder {
 public:
  CFrameHolder() = default;
  virtual ~CFrameHolder() = default;
  CFrameHolder(const CFrameHolder&) = delete;
  CFrameHolder& operator=(const CFrameHolder&) = delete;

  // Reads the bitmap file at path (any bytes, see platform/file_names.h).
  // Fails for a file that does not hold every pixel its header promises.
  bool Load(const QString& path);

  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  int BitsPerPixel() const { return image_.isNull() ? 0 : 24; }
  bool IsEmpty() const { return image_.isNull(); }

  // The held picture (Format_BGR888), or a null image.
  const QImage& Image() const { return image_; }
  // Draws the whole picture at its natural size with its top left corner at
  // the destination's, nothing outside clip.
  void Draw(QPainter& painter, const QRect& destination, const QRect& clip) const;

 private:
  QImage image_;                    // Format_BGR888 or null
  std::vector<std::uint8_t> file_;  // the file being read, kept for the next
};

}  // namespace kestrel::stillbox
