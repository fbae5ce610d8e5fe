#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <span>

namespace kestrel::stillbox {

// Decodes a Windows bitmap file held in memory into a 24-bit picture
// (QImage::Format_BGR888, top row first). Every pixel comes from the file: a
// file whose header promises pixels it does not hold (cut short, run-length
// data that overruns its rows or ends without its end-of-bitmap mark, colour
// indices beyond the palette) is refused, as is one larger than kMaxPixels.
// Pixels that run-length data skips take the palette's first colour.
//
// Reads: BITMAPCOREHEADER and BITMAPINFOHEADER (and its longer versions),
// 1, 4 and 8 bits with a palette, 16 and 32 bits (plain or with bit fields),
// 24 bits, RLE8 and RLE4. Returns a null picture for anything else.
QImage DecodeFrameBitmap(std::span<const std::uint8_t> file);

// The largest picture decoded, in pixels (8192 x 4096).
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t{1} << 25;

}  // namespace kestrel::stillbox
