// Writes the committed random message whose decoded digests are pinned:
//   make_golden_message OUT.qrv
// Seeded, so running it again writes the same bytes with the same standard
// library. The frames cover what the decoder's fast forms must get exactly
// right: busy and sparse detail, every block coded, base values that wrap at
// 16 bits, colours far outside 0 .. 255, and payloads whose codes run past the
// end of their record.
#include <cstdio>
#include <random>
#include <vector>

#include "message_format.h"
#include "support/message_builder.h"

using namespace kestrel;
using namespace kestrel::testing;

namespace {

// Every block coded, values drawn by the tables' own frequencies.
VideoSymbols AllBlocksCoded(std::uint32_t seed) {
  VideoSymbols frame = RandomFrame(seed, ValueSpread::AsFrequencies);
  std::mt19937 rng(seed);
  for (int b = 0; b < kBlockCount; ++b) frame.SetBlockSkipped(b, false);
  frame.coarseCount = kBlockCount * kCoarseValuesPerBlock;
  frame.fineCount = kBlockCount * kFineValuesPerBlock;
  const auto& coarse = RegionFor(CodeTableId::CoarseDetail);
  const auto& fine = RegionFor(CodeTableId::FineDetail);
  std::uniform_int_distribution<int> coarseValue(MinValue(FrequenciesFor(coarse.table).size, coarse.centre),
                                                 coarse.centre);
  std::uniform_int_distribution<int> fineValue(-4, 4);
  for (std::size_t i = 0; i < coarse.capacity; ++i)
    frame.values[coarse.start + i] = static_cast<std::int16_t>(coarseValue(rng));
  for (std::size_t i = 0; i < fine.capacity; ++i)
    frame.values[fine.start + i] = static_cast<std::int16_t>(fineValue(rng));
  return frame;
}

// Base differences at the ends of their tables: running sums wrap at 16 bits
// and the colour formulas leave 0 .. 255 on both sides.
VideoSymbols ExtremeBase(std::uint32_t seed) {
  VideoSymbols frame = RandomFrame(seed, ValueSpread::AsFrequencies);
  std::mt19937 rng(seed);
  for (const SymbolRegion& region : kSymbolRegions) {
    if (region.table == CodeTableId::CoarseDetail) break;
    const int lowest = MinValue(FrequenciesFor(region.table).size, region.centre);
    for (std::size_t i = 0; i < region.capacity; ++i)
      frame.values[region.start + i] = static_cast<std::int16_t>(rng() % 4 == 0 ? lowest : region.centre);
  }
  return frame;
}

std::vector<std::uint8_t> CutShort(std::vector<std::uint8_t> payload, std::size_t keep) {
  payload.resize(keep);
  return payload;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_golden_message OUT.qrv\n");
    return 2;
  }
  MessageBuilder message;
  message.FrameRate(5);
  const std::vector<std::vector<std::uint8_t>> pictures = {
      Encode(RandomFrame(101, ValueSpread::AsFrequencies)),
      Encode(RandomFrame(102, ValueSpread::Uniform)),
      Encode(AllBlocksCoded(103)),
      Encode(ExtremeBase(104)),
      Encode(EmptyFrame()),
      Encode(RandomFrame(105, ValueSpread::AsFrequencies)),
      CutShort(Encode(RandomFrame(106, ValueSpread::AsFrequencies)), 900),
      CutShort(Encode(RandomFrame(107, ValueSpread::Uniform)), 5001),
  };
  std::uint32_t toneSeed = 1;
  for (const auto& payload : pictures) {
    if (payload.size() > kPayloadBufferBytes) {
      std::fprintf(stderr, "a payload of %zu bytes does not fit a record\n", payload.size());
      return 1;
    }
    message.ToneAudio(1, 300.0 + 50.0 * toneSeed, toneSeed);
    ++toneSeed;
    message.Video(payload);
  }
  const auto bytes = message.Bytes();
  std::FILE* f = std::fopen(argv[1], "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
