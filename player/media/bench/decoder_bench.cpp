// Decoding speed of one video payload and one audio record (ten frames), on
// payloads drawn by the code tables' own frequencies.
#include <benchmark/benchmark.h>

#include <vector>

#include "audio_decoder.h"
#include "message_file.h"
#include "message_format.h"
#include "support/message_builder.h"
#include "video_decoder.h"

namespace kestrel {
namespace {

void BM_DecodeVideoFrame(benchmark::State& state) {
  std::vector<std::vector<std::uint8_t>> payloads;
  std::size_t bytes = 0;
  for (std::uint32_t seed = 1; seed <= 16; ++seed) {
    payloads.push_back(testing::Encode(testing::RandomFrame(seed, testing::ValueSpread::AsFrequencies)));
    bytes += payloads.back().size();
  }
  CVideoDecoder decoder;
  decoder.Init();
  std::vector<std::uint8_t> picture(kPictureBytes);
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& p = payloads[i++ % payloads.size()];
    decoder.Decode(p.data(), p.size(), picture.data(), false);
    benchmark::DoNotOptimize(picture.data());
  }
  state.counters["payload_bytes"] = static_cast<double>(bytes) / static_cast<double>(payloads.size());
}
BENCHMARK(BM_DecodeVideoFrame)->Unit(benchmark::kMicrosecond);

void BM_DecodeAudioRecord(benchmark::State& state) {
  // A recorder's frames: a libgsm-encoded tone, packed in the file's packing.
  const auto bytes = testing::MessageBuilder().ToneAudio(8).Bytes();
  std::vector<const std::uint8_t*> records;
  for (std::size_t at = kMessageHeaderSize; at + 1 + kAudioRecordBytes <= bytes.size(); at += 1 + kAudioRecordBytes)
    records.push_back(bytes.data() + at + 1);
  AudioDecoderState* decoder = CreateAudioDecoder();
  std::int16_t samples[kSamplesPerAudioFrame];
  std::size_t i = 0;
  for (auto _ : state) {
    const std::uint8_t* record = records[i++ % records.size()];
    for (std::size_t f = 0; f < kAudioFramesPerRecord; ++f) {
      DecodeAudioFrame(decoder, record + f * kAudioFrameBytes, samples);
      benchmark::DoNotOptimize(samples);
    }
  }
  DestroyAudioDecoder(decoder);
}
BENCHMARK(BM_DecodeAudioRecord)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestrel

BENCHMARK_MAIN();
