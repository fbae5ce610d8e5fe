#include "tone_audio.h"

#include <cmath>

#include "audio_decoder.h"
#include "message_format.h"
#include "support/message_builder.h"

namespace kestrel::testing {

std::vector<std::vector<std::uint8_t>> ToneRecords(int records, double hertz, std::uint32_t seed) {
  return EncodeToneRecords(records, hertz, seed, 6000, 1001);
}

std::vector<std::int16_t> DecodeRecords(const std::vector<std::vector<std::uint8_t>>& records) {
  AudioDecoderState* decoder = CreateAudioDecoder();
  std::vector<std::int16_t> samples;
  std::int16_t block[kSamplesPerAudioFrame];
  for (const auto& record : records) {
    for (std::size_t f = 0; f < kAudioFramesPerRecord; ++f) {
      DecodeAudioFrame(decoder, record.data() + f * kAudioFrameBytes, block);
      samples.insert(samples.end(), block, block + kSamplesPerAudioFrame);
    }
  }
  DestroyAudioDecoder(decoder);
  return samples;
}

}  // namespace kestrel::testing
