#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

class QPainter;

// The fields of a Windows DIB header that describe the held pixels. A
// negative height means the rows run top row first.
struct DibHeader {
  std::uint32_t size = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t sizeImage = 0;
};

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

  int Width() const { return m_image.width(); }
  int Height() const { return m_image.height(); }
  int BitsPerPixel() const { return m_image.isNull() ? 0 : 24; }
  // Non-zero when rows are stored bottom row first; Qt keeps them top first.
  int RowOrder() const { return 0; }
  bool IsEmpty() const { return m_image.isNull(); }

  void MakeDibHeader(DibHeader& header) const;
  // Copies (bits per pixel / 8) * height * width bytes: rows without filler,
  // in the order RowOrder gives.
  void CopyPixels(std::uint8_t* buffer) const;
  std::size_t PixelByteCount() const;
  // Draws the whole picture at its natural size with its top left corner at
  // the destination's, nothing outside clip.
  void Draw(QPainter& painter, const QRect& destination, const QRect& clip) const;

 private:
  QImage m_image;  // Format_BGR888 or null
  std::vector<std::uint8_t> m_file;  // the file being read, kept for the next
};
