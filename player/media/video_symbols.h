// The parsed content of one video payload: counts, skip map and symbol values.
#pragma once

#include <array>
#include <cstdint>

#include "video_layout.h"

namespace kestrel {

struct VideoSymbols {
  std::uint32_t coarseCount = 0;  // as written in the header (up to 32767)
  std::uint32_t fineCount = 0;    // as written in the header (up to 131071)
  std::array<std::uint8_t, kSkipMapBytes> skipMap{};
  std::array<std::int16_t, kSymbolBufferEntries> values{};

  bool BlockSkipped(int block) const { return (skipMap[block >> 3] >> (block & 7)) & 1u; }
  void SetBlockSkipped(int block, bool skipped) {
    const auto bit = static_cast<std::uint8_t>(1u << (block & 7));
    skipMap[block >> 3] = skipped ? (skipMap[block >> 3] | bit) : (skipMap[block >> 3] & ~bit);
  }
  int CodedBlockCount() const {
    int coded = 0;
    for (int b = 0; b < kBlockCount; ++b) coded += BlockSkipped(b) ? 0 : 1;
    return coded;
  }
};

}  // namespace kestrel
