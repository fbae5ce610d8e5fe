// A bitmap file as stillbox reads it, from arbitrary bytes: either no picture,
// or a 24-bit one within the decoder's limit, whose every pixel is read here
// as the listing reads them for a thumbnail.
//
// Budget: one decode per input; memory is bounded by the decoder's largest
// picture, which the fuzz script's per-allocation limit allows.
#include <cstdint>
#include <cstdlib>
#include <span>

#include <QImage>

#include "frame_bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QImage picture = kestrel::stillbox::DecodeFrameBitmap(std::span<const std::uint8_t>(data, size));
  if (picture.isNull()) return 0;
  if (picture.format() != QImage::Format_BGR888 || picture.width() < 1 || picture.height() < 1 ||
      std::int64_t{picture.width()} * picture.height() > kestrel::stillbox::kMaxBitmapPixels)
    std::abort();
  // Read every pixel: the listing copies them all into the thumbnail.
  unsigned sum = 0;
  for (int y = 0; y < picture.height(); ++y) {
    const uchar* row = picture.constScanLine(y);
    for (int x = 0; x < picture.width() * 3; ++x) sum += row[x];
  }
  // Keeps the reads from being optimised away.
  volatile unsigned sink = sum;
  (void)sink;
  return 0;
}
