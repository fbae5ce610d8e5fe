#include "tone_audio.h"

#include <gsm.h>

#include <cmath>
#include <random>

#include "audio_decoder.h"
#include "audio_frame.h"
#include "message_format.h"

namespace kestrel::testing {

std::vector<std::vector<std::uint8_t>> ToneRecords(int records, double hertz, std::uint32_t seed) {
  std::mt19937 rng(seed);
  gsm encoder = gsm_create();
  std::vector<std::vector<std::uint8_t>> out;
  double phase = 0.0;
  for (int r = 0; r < records; ++r) {
    std::vector<std::uint8_t> record;
    for (std::size_t f = 0; f < kAudioFramesPerRecord; ++f) {
      gsm_signal pcm[kSamplesPerAudioFrame];
      for (gsm_signal& s : pcm) {
        phase += 2.0 * M_PI * hertz / kSampleRate;
        s = static_cast<gsm_signal>(6000 * std::sin(phase) + static_cast<int>(rng() % 1001) - 500);
      }
      gsm_byte frame[33];
      gsm_encode(encoder, pcm, frame);
      GsmParameters parameters{};
      gsm_explode(encoder, frame, parameters.data());
      const AudioFrameBytes packed = PackAudioFrame(parameters);
      record.insert(record.end(), packed.begin(), packed.end());
    }
    out.push_back(std::move(record));
  }
  gsm_destroy(encoder);
  return out;
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
