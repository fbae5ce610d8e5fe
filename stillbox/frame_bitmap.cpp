#include "frame_bitmap.h"

#include <array>
#include <cstring>
#include <vector>

namespace kestrel::stillbox {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kCoreHeaderBytes = 12;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::int64_t kMaxSide = 32768;

// Little-endian fields at offsets the caller has checked.
class Bytes {
 public:
  explicit Bytes(std::span<const std::uint8_t> data) : data_(data) {}
  bool Has(std::int64_t offset, std::int64_t count) const {
    const auto size = static_cast<std::int64_t>(data_.size());
    return offset >= 0 && count >= 0 && offset <= size && count <= size - offset;
  }
  std::uint8_t U8(std::size_t at) const { return data_[at]; }
  std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(data_[at] | (data_[at + 1] << 8)); }
  std::uint32_t U32(std::size_t at) const { return U16(at) | (static_cast<std::uint32_t>(U16(at + 2)) << 16); }
  const std::uint8_t* At(std::size_t at) const { return data_.data() + at; }

 private:
  std::span<const std::uint8_t> data_;
};

// One colour channel of a 16- or 32-bit pixel: its bits, scaled to 0..255.
class Channel {
 public:
  // False for a mask whose bits are not contiguous.
  bool Set(std::uint32_t mask) {
    shift_ = 0;
    max_ = 0;
    mask_ = mask;
    if (mask == 0) return true;
    while (((mask >> shift_) & 1) == 0) ++shift_;
    max_ = mask >> shift_;
    return (max_ & (max_ + 1)) == 0;
  }
  std::uint8_t Of(std::uint32_t pixel) const {
    if (max_ == 0) return 0;
    const std::uint64_t value = (pixel & mask_) >> shift_;
    return static_cast<std::uint8_t>((value * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_ = 0;
  int shift_ = 0;
  std::uint32_t max_ = 0;
};

struct Layout {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool topDown = false;
  int bits = 0;
  std::uint32_t compression = kBiRgb;
  std::int64_t pixelOffset = 0;
  // Blue, green, red for each palette entry.
  std::vector<std::array<std::uint8_t, 3>> palette;
  Channel red, green, blue;
};

bool ValidDepth(const Layout& layout) {
  switch (layout.compression) {
    case kBiRgb:
      return layout.bits == 1 || layout.bits == 4 || layout.bits == 8 || layout.bits == 16 || layout.bits == 24 ||
             layout.bits == 32;
    case kBiRle8:
      return layout.bits == 8 && !layout.topDown;
    case kBiRle4:
      return layout.bits == 4 && !layout.topDown;
    case kBiBitfields:
      return layout.bits == 16 || layout.bits == 32;
    default:
      return false;
  }
}

bool ReadHeader(const Bytes& in, Layout& layout) {
  if (!in.Has(0, kFileHeaderBytes + 4) || in.U8(0) != 'B' || in.U8(1) != 'M') return false;
  layout.pixelOffset = in.U32(10);
  const std::uint32_t headerBytes = in.U32(kFileHeaderBytes);
  std::int64_t headerEnd = kFileHeaderBytes + headerBytes;
  std::uint32_t coloursUsed = 0;
  std::size_t entryBytes = 4;
  unsigned planes = 0;
  if (headerBytes == kCoreHeaderBytes) {
    if (!in.Has(0, headerEnd)) return false;
    layout.width = in.U16(18);
    layout.height = in.U16(20);
    planes = in.U16(22);
    layout.bits = in.U16(24);
    entryBytes = 3;
  } else if (headerBytes == kInfoHeaderBytes || headerBytes == 52 || headerBytes == 56 || headerBytes == 108 ||
             headerBytes == 124) {
    if (!in.Has(0, headerEnd)) return false;
    layout.width = static_cast<std::int32_t>(in.U32(18));
    layout.height = static_cast<std::int32_t>(in.U32(22));
    planes = in.U16(26);
    layout.bits = in.U16(28);
    layout.compression = in.U32(30);
    coloursUsed = in.U32(46);
    if (layout.compression == kBiBitfields) {
      // The three masks follow the plain header, or are part of a longer one.
      if (headerBytes == kInfoHeaderBytes) headerEnd += 12;
      if (!in.Has(0, headerEnd)) return false;
      if (!layout.red.Set(in.U32(54)) || !layout.green.Set(in.U32(58)) || !layout.blue.Set(in.U32(62))) return false;
    }
  } else {
    return false;
  }
  layout.topDown = layout.height < 0;
  if (layout.topDown) layout.height = -layout.height;
  if (planes != 1 || layout.width <= 0 || layout.height == 0 || layout.width > kMaxSide || layout.height > kMaxSide ||
      layout.width * layout.height > kMaxBitmapPixels || !ValidDepth(layout)) {
    return false;
  }
  if (layout.compression == kBiRgb && layout.bits == 16) {
    layout.red.Set(0x7C00);
    layout.green.Set(0x03E0);
    layout.blue.Set(0x001F);
  } else if (layout.compression == kBiRgb && layout.bits == 32) {
    layout.red.Set(0x00FF0000);
    layout.green.Set(0x0000FF00);
    layout.blue.Set(0x000000FF);
  }
  if (layout.bits <= 8) {
    const std::uint32_t most = 1u << layout.bits;
    const std::uint32_t count = coloursUsed == 0 ? most : coloursUsed;
    if (count > most || !in.Has(headerEnd, static_cast<std::int64_t>(count * entryBytes))) return false;
    layout.palette.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::memcpy(layout.palette[i].data(), in.At(static_cast<std::size_t>(headerEnd) + i * entryBytes), 3);
    }
  }
  // Pixels never overlap the headers.
  return layout.pixelOffset >= headerEnd && in.Has(layout.pixelOffset, 1);
}

// Palette colours for one row of colour indices; false for an index beyond
// the palette.
bool PaintIndices(const Layout& layout, const std::uint8_t* indices, std::uint8_t* row) {
  const std::size_t colours = layout.palette.size();
  for (std::int64_t x = 0; x < layout.width; ++x) {
    if (indices[x] >= colours) return false;
    std::memcpy(row + x * 3, layout.palette[indices[x]].data(), 3);
  }
  return true;
}

std::int64_t Stride(const Layout& layout) { return (layout.width * layout.bits + 31) / 32 * 4; }

// Whether the file holds every row of uncompressed pixels, the last one
// without its filler.
bool HoldsUncompressedPixels(const Bytes& in, const Layout& layout) {
  const std::int64_t rowBytes = (layout.width * layout.bits + 7) / 8;
  return in.Has(layout.pixelOffset, Stride(layout) * (layout.height - 1) + rowBytes);
}

bool DecodeUncompressed(const Bytes& in, const Layout& layout, QImage& picture) {
  const std::int64_t stride = Stride(layout);
  std::vector<std::uint8_t> indices(layout.bits <= 8 ? static_cast<std::size_t>(layout.width) : 0);
  for (std::int64_t y = 0; y < layout.height; ++y) {
    const std::int64_t stored = layout.topDown ? y : layout.height - 1 - y;
    const std::uint8_t* source = in.At(static_cast<std::size_t>(layout.pixelOffset + stride * stored));
    std::uint8_t* row = picture.scanLine(static_cast<int>(y));
    switch (layout.bits) {
      case 24:
        std::memcpy(row, source, static_cast<std::size_t>(layout.width) * 3);
        continue;
      case 16:
      case 32:
        for (std::int64_t x = 0; x < layout.width; ++x) {
          const std::uint8_t* p = source + x * layout.bits / 8;
          std::uint32_t pixel = p[0] | (p[1] << 8);
          if (layout.bits == 32)
            pixel |= (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
          row[3 * x] = layout.blue.Of(pixel);
          row[3 * x + 1] = layout.green.Of(pixel);
          row[3 * x + 2] = layout.red.Of(pixel);
        }
        continue;
      default: {
        // 1, 4 or 8 bits: the leftmost pixel in the high bits of each byte.
        const int perByte = 8 / layout.bits;
        const unsigned mask = (1u << layout.bits) - 1;
        for (std::int64_t x = 0; x < layout.width; ++x) {
          const int shift = (perByte - 1 - static_cast<int>(x % perByte)) * layout.bits;
          indices[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>((source[x / perByte] >> shift) & mask);
        }
        if (!PaintIndices(layout, indices.data(), row)) return false;
      }
    }
  }
  return true;
}

// Run-length data, bottom row first: runs of one index (two alternating
// ones for 4 bits), literal stretches padded to 16 bits, and escapes for
// end of line, end of bitmap and a jump.
bool DecodeRunLength(const Bytes& in, const Layout& layout, QImage& picture) {
  const bool fourBits = layout.bits == 4;
  const std::int64_t width = layout.width;
  const std::int64_t height = layout.height;
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(width * height), 0);
  const auto put = [&](std::int64_t line, std::int64_t x, std::uint8_t index) {
    indices[static_cast<std::size_t>(line * width + x)] = index;
  };
  std::int64_t at = layout.pixelOffset;
  std::int64_t x = 0;
  std::int64_t line = 0;
  for (;;) {
    // Data that ends before its end-of-bitmap mark was cut short.
    if (!in.Has(at, 2)) return false;
    const std::uint8_t count = in.U8(static_cast<std::size_t>(at));
    const std::uint8_t value = in.U8(static_cast<std::size_t>(at + 1));
    at += 2;
    if (count > 0) {
      if (line >= height || x + count > width) return false;
      for (int i = 0; i < count; ++i) {
        const std::uint8_t index = fourBits ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value;
        put(line, x + i, index);
      }
      x += count;
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      if (++line > height) return false;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // jump right and up
      if (!in.Has(at, 2)) return false;
      x += in.U8(static_cast<std::size_t>(at));
      line += in.U8(static_cast<std::size_t>(at + 1));
      at += 2;
      if (x > width || line > height) return false;
    } else {  // `value` literal indices
      const std::int64_t bytes = fourBits ? (value + 1) / 2 : value;
      const std::int64_t padded = (bytes + 1) / 2 * 2;
      if (!in.Has(at, padded) || line >= height || x + value > width) return false;
      for (int i = 0; i < value; ++i) {
        const std::uint8_t byte = in.U8(static_cast<std::size_t>(at + (fourBits ? i / 2 : i)));
        put(line, x + i, fourBits ? (i % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte);
      }
      x += value;
      at += padded;
    }
  }
  for (std::int64_t y = 0; y < height; ++y) {
    if (!PaintIndices(layout, &indices[static_cast<std::size_t>((height - 1 - y) * width)],
                      picture.scanLine(static_cast<int>(y)))) {
      return false;
    }
  }
  return true;
}

}  // namespace

QImage DecodeFrameBitmap(std::span<const std::uint8_t> file) {
  const Bytes in(file);
  Layout layout;
  if (!ReadHeader(in, layout)) return {};
  const bool runLength = layout.compression == kBiRle8 || layout.compression == kBiRle4;
  // A header of a few bytes must not cost the memory of the picture it
  // announces when the file plainly cannot hold it.
  if (!runLength && !HoldsUncompressedPixels(in, layout)) return {};
  QImage picture(static_cast<int>(layout.width), static_cast<int>(layout.height), QImage::Format_BGR888);
  if (picture.isNull()) return {};
  const bool complete = runLength ? DecodeRunLength(in, layout, picture) : DecodeUncompressed(in, layout, picture);
  return complete ? picture : QImage();
}

}  // namespace kestrel::stillbox
