#include "video_parser.h"

#include <algorithm>

#include "bit_reader.h"

namespace kestrel {

namespace {

// Decodes `count` symbols of one region; values whose code ran past the end are
// 0, and so are the entries after them up to the region's capacity. `i`
// values are decoded already.
void DecodeRun(const CodeTable& table, const SymbolRegion& region, std::size_t count, BitReader& bits,
               std::int16_t* values, std::size_t i = 0) {
  std::int16_t* out = values + region.start;
  for (; i < count && !bits.Overrun(); ++i) {
    const std::uint32_t symbol = DecodeSymbol(table, bits);
    out[i] = bits.Overrun() ? 0 : static_cast<std::int16_t>(SymbolToValue(symbol, region.centre));
  }
  std::fill(out + i, out + region.capacity, std::int16_t{0});
}

}  // namespace

PayloadCheck ParseVideoFrame(const VideoCodeTables& tables, const std::uint8_t* payload, std::size_t length,
                             VideoSymbols& out, const VideoCodeLookups* lookups) {
  PayloadCheck check;
  BitReader bits(payload, length);
  out.coarseCount = bits.ReadBits(kCoarseCountBits);
  out.fineCount = bits.ReadBits(kFineCountBits);

  out.skipMap.fill(0);
  if (length > kSkipMapOffset)
    std::copy_n(payload + kSkipMapOffset, std::min(kSkipMapBytes, length - kSkipMapOffset), out.skipMap.begin());

  const std::size_t coarse = std::min<std::size_t>(out.coarseCount, RegionFor(CodeTableId::CoarseDetail).capacity);
  const std::size_t fine = std::min<std::size_t>(out.fineCount, RegionFor(CodeTableId::FineDetail).capacity);
  check.countsCut = coarse != out.coarseCount || fine != out.fineCount;
  const auto coded = static_cast<std::uint32_t>(out.CodedBlockCount());
  check.countsMismatch =
      out.coarseCount != coded * kCoarseValuesPerBlock || out.fineCount != coded * kFineValuesPerBlock;

  BitReader runs(payload, length, kSymbolRunsStartBit);
  for (const SymbolRegion& region : kSymbolRegions) {
    std::size_t count = region.capacity;
    if (region.table == CodeTableId::CoarseDetail) count = coarse;
    if (region.table == CodeTableId::FineDetail) count = fine;
    std::size_t decoded = 0;
    if (lookups && !runs.Overrun()) {
      // The lookups skip zeros (DecodeRun clears what lies past the run).
      std::int16_t* values = out.values.data() + region.start;
      std::fill(values, values + count, std::int16_t{0});
      std::size_t position = runs.Position();
      decoded = DecodeWhileWindowFits((*lookups)[region.table], payload, length, position, count, values);
      runs.Seek(position);
    }
    DecodeRun(tables[region.table], region, count, runs, out.values.data(), decoded);
  }
  check.ranPastEnd = bits.Overrun() || runs.Overrun();
  check.bitsUsed = runs.Position();
  return check;
}

}  // namespace kestrel
