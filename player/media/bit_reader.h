// LSB-first bit reader over a byte string of known length.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel {

// Bit n of the string is bit (n mod 8) of byte (n div 8); multi-bit fields take
// their least significant bit first. Past the end the reader yields zero bits and
// sets a sticky overrun flag that the caller checks once per unit; it never reads
// a byte beyond `size`.
class BitReader {
 public:
  BitReader(const std::uint8_t* data, std::size_t size, std::size_t startBit = 0)
      : data_(data), sizeBits_(size * 8), pos_(startBit) {}

  unsigned ReadBit() {
    if (pos_ >= sizeBits_) {
      overrun_ = true;
      ++pos_;
      return 0;
    }
    unsigned bit = (data_[pos_ >> 3] >> (pos_ & 7)) & 1u;
    ++pos_;
    return bit;
  }

  // Reads `width` (at most 32) bits, least significant first.
  std::uint32_t ReadBits(unsigned width) {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < width; ++i) value |= std::uint32_t{ReadBit()} << i;
    return value;
  }

  // For a caller that has read bits by other means, up to `bit`, which is
  // within the string.
  void Seek(std::size_t bit) { pos_ = bit; }

  std::size_t Position() const { return pos_; }
  bool Overrun() const { return overrun_; }
  // True once the position has passed the last bit, even if nothing was read there yet.
  bool AtEnd() const { return pos_ >= sizeBits_; }

 private:
  const std::uint8_t* data_;
  std::size_t sizeBits_;
  std::size_t pos_;
  bool overrun_ = false;
};

}  // namespace kestrel
