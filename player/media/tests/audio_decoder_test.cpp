#include "audio_decoder.h"

#include <gsm.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "audio_frame.h"

namespace kestrel {
namespace {

using Block = std::array<std::int16_t, 160>;

struct Decoder {
  AudioDecoderState* state = CreateAudioDecoder();
  ~Decoder() { DestroyAudioDecoder(state); }
  Block Decode(const std::uint8_t* frame) {
    Block out{};
    DecodeAudioFrame(state, frame, out.data());
    return out;
  }
};

// Frames as a recorder makes them: libgsm encodes a signal, and its parameters
// are repacked in the message file's packing. Decoding those must give what
// libgsm gives for its own frames, frame after frame on one state.
TEST(AudioDecoder, MatchesLibgsmOnItsOwnEncodedFrames) {
  const std::uint32_t seed = 7;
  std::mt19937 rng(seed);
  gsm encoder = gsm_create();
  gsm reference = gsm_create();
  Decoder ours;
  ASSERT_NE(ours.state, nullptr);
  double phase = 0;
  for (int f = 0; f < 100; ++f) {
    gsm_signal pcm[160];
    for (auto& s : pcm) {
      phase += 0.05 + 0.01 * (f % 7);
      s = static_cast<gsm_signal>(8000 * std::sin(phase) + static_cast<int>(rng() % 2001) - 1000);
    }
    gsm_byte libgsmFrame[33];
    gsm_encode(encoder, pcm, libgsmFrame);
    GsmParameters parameters{};
    ASSERT_EQ(gsm_explode(encoder, libgsmFrame, parameters.data()), 0);
    AudioFrameBytes packed = PackAudioFrame(parameters);

    Block expected{};
    ASSERT_EQ(gsm_decode(reference, libgsmFrame, expected.data()), 0);
    ASSERT_EQ(ours.Decode(packed.data()), expected) << "frame " << f << " seed " << seed;
  }
  gsm_destroy(encoder);
  gsm_destroy(reference);
}

TEST(AudioDecoder, ZeroFrameDecodesLikeAnyOther) {
  // All-zero parameters, lag 0 replaced by the remembered 40 on a fresh state.
  AudioFrameBytes zero{};
  gsm reference = gsm_create();
  GsmParameters parameters{};
  gsm_byte libgsmFrame[33];
  gsm_implode(reference, parameters.data(), libgsmFrame);
  Block expected{};
  gsm_decode(reference, libgsmFrame, expected.data());
  gsm_destroy(reference);

  Decoder ours;
  EXPECT_EQ(ours.Decode(zero.data()), expected);
}

TEST(AudioDecoder, StateCarriesAcrossFramesAndFreshStatesAgree) {
  std::mt19937 rng(11);
  AudioFrameBytes frame{};
  for (auto& b : frame) b = static_cast<std::uint8_t>(rng());
  Decoder one, two;
  const Block first = one.Decode(frame.data());
  const Block second = one.Decode(frame.data());
  EXPECT_NE(first, second) << "the memories moved on";
  EXPECT_EQ(two.Decode(frame.data()), first);
}

TEST(AudioDecoder, OutputIsAMultipleOfEightAndIgnoresSpareBits) {
  std::mt19937 rng(3);
  Decoder plain, spare;
  for (int f = 0; f < 50; ++f) {
    AudioFrameBytes frame{};
    for (auto& b : frame) b = static_cast<std::uint8_t>(rng());
    frame[32] &= 0x0F;
    AudioFrameBytes withSpare = frame;
    withSpare[32] |= 0xA0;
    const Block a = plain.Decode(frame.data());
    EXPECT_EQ(spare.Decode(withSpare.data()), a);
    for (auto s : a) ASSERT_EQ(s % 8, 0);
  }
}

}  // namespace
}  // namespace kestrel
