// LSB-first bit writer, the inverse of BitReader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kestrel {

class BitWriter {
 public:
  // Appends the low `width` bits of `value` (at most 32), least significant first.
  void WriteBits(std::uint32_t value, unsigned width) {
    for (unsigned i = 0; i < width; ++i) WriteBit((value >> i) & 1u);
  }

  void WriteBit(unsigned bit) {
    if ((bits_ & 7) == 0) bytes_.push_back(0);
    if (bit) bytes_.back() |= static_cast<std::uint8_t>(1u << (bits_ & 7));
    ++bits_;
  }

  std::size_t BitCount() const { return bits_; }
  // The bytes written so far; unused bits of the last byte are zero.
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  std::vector<std::uint8_t> Take() {
    bits_ = 0;
    return std::move(bytes_);
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t bits_ = 0;
};

}  // namespace kestrel
