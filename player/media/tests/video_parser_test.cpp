#include "video_parser.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/message_builder.h"

namespace kestrel {
namespace {

using testing::EmptyFrame;
using testing::Encode;
using testing::RandomFrame;
using testing::Tables;
using testing::ValueSpread;

// The example payload: all blocks skipped, counts 0, all base differences 0.
std::vector<std::uint8_t> BlackPayload() {
  std::vector<std::uint8_t> p = {0, 0, 0, 0};
  p.insert(p.end(), 37, 0xFF);
  p.push_back(0x0F);
  for (int i = 0; i < 150; ++i) p.insert(p.end(), {0x49, 0x92, 0x24});
  p.insert(p.end(), 75, 0xFF);
  p.insert(p.end(), 75, 0x55);
  return p;
}

TEST(VideoParser, HeaderCountsAreFifteenAndSeventeenBits) {
  VideoSymbols out;
  std::vector<std::uint8_t> p = {0x00, 0x80, 0x00, 0x00};
  ParseVideoFrame(Tables(), p.data(), p.size(), out);
  EXPECT_EQ(out.coarseCount, 0u);
  EXPECT_EQ(out.fineCount, 1u);

  p = {0xFF, 0x7F, 0x00, 0x00};
  PayloadCheck check = ParseVideoFrame(Tables(), p.data(), p.size(), out);
  EXPECT_EQ(out.coarseCount, 32767u);
  EXPECT_EQ(out.fineCount, 0u);
  EXPECT_TRUE(check.countsCut);
  EXPECT_TRUE(check.ranPastEnd);
}

TEST(VideoParser, BlackPayloadEndsWithItsLastBit) {
  const auto p = BlackPayload();
  ASSERT_EQ(p.size(), 642u);
  VideoSymbols out;
  out.values.fill(77);
  PayloadCheck check = ParseVideoFrame(Tables(), p.data(), p.size(), out);
  EXPECT_TRUE(check.WellFormed());
  EXPECT_EQ(check.bitsUsed, 642u * 8);
  EXPECT_EQ(out.CodedBlockCount(), 0);
  for (auto v : out.values) ASSERT_EQ(v, 0);
  // The writer produces the same bytes from the same symbols.
  EXPECT_EQ(Encode(EmptyFrame()), p);
}

TEST(VideoParser, WrittenPayloadsParseBackExactly) {
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    const ValueSpread spread = seed % 2 ? ValueSpread::Uniform : ValueSpread::AsFrequencies;
    const VideoSymbols frame = RandomFrame(seed, spread);
    const auto payload = Encode(frame);
    VideoSymbols out;
    PayloadCheck check = ParseVideoFrame(Tables(), payload.data(), payload.size(), out);
    EXPECT_TRUE(check.WellFormed()) << "seed " << seed;
    EXPECT_EQ(out.coarseCount, frame.coarseCount);
    EXPECT_EQ(out.fineCount, frame.fineCount);
    EXPECT_EQ(out.skipMap, frame.skipMap);
    ASSERT_EQ(out.values, frame.values) << "seed " << seed;
    EXPECT_LE(payload.size() * 8 - check.bitsUsed, 7u);
  }
}

TEST(VideoParser, ShortPayloadReadsNothingBeyondItsEndAndZeroesWhatIsMissing) {
  const VideoSymbols frame = RandomFrame(99, ValueSpread::AsFrequencies);
  const auto full = Encode(frame);
  VideoSymbols whole;
  ParseVideoFrame(Tables(), full.data(), full.size(), whole);
  for (std::size_t cut : {std::size_t{0}, std::size_t{3}, std::size_t{20}, std::size_t{42}, std::size_t{300},
                          full.size() / 2, full.size() - 1}) {
    // Exactly `cut` bytes on the heap: any read past them is caught by ASan.
    std::vector<std::uint8_t> part(full.begin(), full.begin() + static_cast<long>(cut));
    VideoSymbols out;
    out.values.fill(55);
    PayloadCheck check = ParseVideoFrame(Tables(), part.data(), part.size(), out);
    EXPECT_TRUE(check.ranPastEnd) << cut;
    // Values before the break agree with the whole payload, after it they are 0.
    bool broken = false;
    for (std::size_t i = 0; i < out.values.size(); ++i) {
      if (!broken && out.values[i] != whole.values[i]) broken = true;
      if (broken) {
        ASSERT_EQ(out.values[i], 0) << "cut " << cut << " entry " << i;
      }
    }
  }
}

TEST(VideoParser, CountsBeyondTheBufferAreCutAndStaleValuesNeverSurvive) {
  VideoSymbols big = RandomFrame(5, ValueSpread::AsFrequencies);
  big.skipMap.fill(0);
  big.coarseCount = 3600;
  big.fineCount = 9600;
  for (auto& v : big.values) v = v == 0 ? 1 : v;
  auto payload = Encode(big);
  // Rewrite the header with counts far beyond the regions.
  payload[0] = 0xFF;
  payload[1] = 0xFF;
  payload[2] = 0xFF;
  payload[3] = 0xFF;
  VideoSymbols out;
  PayloadCheck check = ParseVideoFrame(Tables(), payload.data(), payload.size(), out);
  EXPECT_TRUE(check.countsCut);
  EXPECT_EQ(out.coarseCount, 32767u);
  EXPECT_EQ(out.fineCount, 131071u);

  // A following frame with fewer values than its blocks need: the rest is 0,
  // not what the big frame left behind.
  VideoSymbols small = EmptyFrame();
  small.skipMap.fill(0);
  small.coarseCount = 12;
  small.fineCount = 32;
  for (int i = 0; i < 12; ++i) small.values[1800 + i] = 3;
  payload = Encode(small);
  check = ParseVideoFrame(Tables(), payload.data(), payload.size(), out);
  EXPECT_TRUE(check.countsMismatch);
  EXPECT_FALSE(check.ranPastEnd);
  EXPECT_EQ(out.values[1811], 3);
  for (std::size_t i = 1812; i < 5400; ++i) ASSERT_EQ(out.values[i], 0) << i;
  for (std::size_t i = 5432; i < 15000; ++i) ASSERT_EQ(out.values[i], 0) << i;
}

}  // namespace
}  // namespace kestrel
