#include "audio_frame.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

namespace kestrel {
namespace {

AudioFrameBytes FrameWith(std::initializer_list<std::pair<int, std::uint8_t>> bytes) {
  AudioFrameBytes frame{};
  for (auto [index, value] : bytes) frame[index] = value;
  return frame;
}

TEST(AudioFrame, FieldsAreReadLeastSignificantBitFirst) {
  GsmParameters p = UnpackAudioFrame(FrameWith({{0, 0x3F}}).data());
  EXPECT_EQ(p[0], 63);
  EXPECT_EQ(p[1], 0);

  p = UnpackAudioFrame(FrameWith({{0, 0x40}}).data());
  EXPECT_EQ(p[0], 0);
  EXPECT_EQ(p[1], 1);

  // Frame bits 36-39 are the four lowest bits of subframe 0's Nc.
  p = UnpackAudioFrame(FrameWith({{4, 0xF0}}).data());
  EXPECT_EQ(p[7], 0);
  EXPECT_EQ(p[8], 15);
}

TEST(AudioFrame, SubframesStartEveryFiftySixBits) {
  // Subframe j's Nc starts at frame bit 36 + 56 j; set its lowest bit alone.
  for (int j = 0; j < 4; ++j) {
    AudioFrameBytes frame{};
    const int bit = 36 + 56 * j;
    frame[bit / 8] = static_cast<std::uint8_t>(1u << (bit % 8));
    GsmParameters p = UnpackAudioFrame(frame.data());
    for (int i = 0; i < kGsmParameterCount; ++i)
      EXPECT_EQ(p[i], i == 8 + 17 * j ? 1 : 0) << "subframe " << j << " param " << i;
  }
  // The last xMc of subframe 3 ends at bit 259.
  AudioFrameBytes frame{};
  frame[32] = 0x08;  // bit 259
  EXPECT_EQ(UnpackAudioFrame(frame.data())[75], 4);
}

TEST(AudioFrame, WidthsCoverTwoHundredSixtyBits) {
  const auto& w = GsmParameterWidths();
  EXPECT_EQ(std::accumulate(w.begin(), w.end(), 0), 260);
}

TEST(AudioFrame, SpareBitsAreNeverRead) {
  AudioFrameBytes frame = FrameWith({{32, 0xF0}});
  GsmParameters p = UnpackAudioFrame(frame.data());
  for (auto value : p) EXPECT_EQ(value, 0);
}

TEST(AudioFrame, PackThenUnpackGivesTheParametersBack) {
  const std::uint32_t seed = 20261208;
  std::mt19937 rng(seed);
  const auto& w = GsmParameterWidths();
  for (int round = 0; round < 200; ++round) {
    GsmParameters p{};
    for (int i = 0; i < kGsmParameterCount; ++i) p[i] = static_cast<std::int16_t>(rng() & ((1u << w[i]) - 1));
    AudioFrameBytes frame = PackAudioFrame(p);
    EXPECT_EQ(frame[32] & 0xF0, 0) << "seed " << seed;
    ASSERT_EQ(UnpackAudioFrame(frame.data()), p) << "seed " << seed << " round " << round;
  }
}

}  // namespace
}  // namespace kestrel
