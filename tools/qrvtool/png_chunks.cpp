#include "png_chunks.h"

#include <cctype>
#include <cstring>

namespace kestrel::tool {

std::string PngChunkPastEnd(const std::uint8_t* bytes, std::size_t size) {
  static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
  if (size < sizeof kSignature || std::memcmp(bytes, kSignature, sizeof kSignature) != 0) return {};
  // Each chunk: 32-bit big-endian length, 4-byte name, the data, a 4-byte CRC.
  for (std::size_t at = sizeof kSignature; size - at >= 8;) {
    const std::uint8_t* header = bytes + at;
    const std::size_t length =
        std::size_t{header[0]} << 24 | std::size_t{header[1]} << 16 | std::size_t{header[2]} << 8 | header[3];
    std::string name(reinterpret_cast<const char*>(header + 4), 4);
    for (char& c : name)
      if (!std::isprint(static_cast<unsigned char>(c))) c = '?';
    if (length > size - at - 8) return name;
    if (name == "IEND") break;
    at += 8 + length;
    // A CRC cut short is the reader's to report.
    if (size - at < 4) break;
    at += 4;
  }
  return {};
}

}  // namespace kestrel::tool
