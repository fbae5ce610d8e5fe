#include <gtest/gtest.h>

#include <vector>

#include "audio_decoder.h"
#include "message_format.h"
#include "support/allocation_counter.h"
#include "support/message_builder.h"
#include "video_decoder.h"
#include "video_kernels.h"

namespace kestrel {
namespace {

TEST(NoAllocationPerFrame, DecodingPicturesAndSoundAllocatesNothing) {
  std::vector<std::vector<std::uint8_t>> payloads;
  for (std::uint32_t seed = 1; seed <= 4; ++seed)
    payloads.push_back(testing::Encode(testing::RandomFrame(seed, testing::ValueSpread::AsFrequencies)));
  payloads.push_back({1, 2, 3});  // short and malformed takes the same path
  const auto sound = testing::MessageBuilder().ToneAudio(1).Bytes();
  std::vector<std::uint8_t> picture(kDoublePictureBytes);
  std::int16_t samples[kSamplesPerAudioFrame];

  CVideoDecoder video;
  ASSERT_TRUE(video.Init());
  AudioDecoderState* audio = CreateAudioDecoder();
  ASSERT_NE(audio, nullptr);

  const std::size_t before = testing::AllocationCount();
  for (VideoPath path : {VideoPath::Reference, VideoPath::Sse2, VideoPath::Avx2}) {
    if (!video.UsePath(path)) continue;
    for (const auto& p : payloads) {
      video.Decode(p.data(), p.size(), picture.data(), false);
      video.Decode(p.data(), p.size(), picture.data(), true);
    }
  }
  for (int f = 0; f < 10; ++f) DecodeAudioFrame(audio, sound.data() + kMessageHeaderSize + 1 + 33 * f, samples);
  EXPECT_EQ(testing::AllocationCount(), before);

  DestroyAudioDecoder(audio);
}

}  // namespace
}  // namespace kestrel
