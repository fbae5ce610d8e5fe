#include "video_payload_writer.h"

#include <algorithm>

#include "bit_writer.h"

namespace kestrel {

std::vector<std::uint8_t> WriteVideoPayload(const VideoCodeBook& book, const VideoSymbols& frame, int* clamped) {
  BitWriter bits;
  bits.WriteBits(frame.coarseCount, kCoarseCountBits);
  bits.WriteBits(frame.fineCount, kFineCountBits);
  for (std::uint8_t byte : frame.skipMap) bits.WriteBits(byte, 8);

  int clampedCount = 0;
  for (const SymbolRegion& region : kSymbolRegions) {
    std::size_t count = region.capacity;
    if (region.table == CodeTableId::CoarseDetail) count = std::min<std::size_t>(frame.coarseCount, count);
    if (region.table == CodeTableId::FineDetail) count = std::min<std::size_t>(frame.fineCount, count);
    const auto& codes = book[region.table];
    const int lowest = MinValue(codes.size(), region.centre);
    for (std::size_t i = 0; i < count; ++i) {
      const int value = frame.values[region.start + i];
      const int kept = std::clamp(value, lowest, region.centre);
      if (kept != value) ++clampedCount;
      const SymbolCode& code = codes[ValueToSymbol(kept, region.centre)];
      bits.WriteBits(code.bits, code.length);
    }
  }
  if (clamped) *clamped = clampedCount;
  return bits.Take();
}

}  // namespace kestrel
