// Decoding speed of one video payload, on each reconstruction path, and of
// one audio record (ten frames). The payloads are drawn by the code tables'
// own frequencies, or are the demo message's pictures.
#include <benchmark/benchmark.h>

#include <vector>

#include "audio_decoder.h"
#include "message_file.h"
#include "message_format.h"
#include "support/message_builder.h"
#include "video_decoder.h"
#include "video_kernels.h"
#include "video_parser.h"

namespace kestrel {
namespace {

using Payloads = std::vector<std::vector<std::uint8_t>>;

Payloads RandomPayloads() {
  Payloads payloads;
  for (std::uint32_t seed = 1; seed <= 16; ++seed)
    payloads.push_back(testing::Encode(testing::RandomFrame(seed, testing::ValueSpread::AsFrequencies)));
  return payloads;
}

Payloads DemoPayloads() {
  Payloads payloads;
  CMessageFile file;
  if (file.Open(KESTREL_SOURCE_DIR "/samples/demo.qrv") != OpenResult::Ok) return payloads;
  std::vector<std::uint8_t> buffer(kPayloadBufferBytes);
  for (Record r = file.ReadRecord(buffer.data()); r.kind != RecordKind::EndOfData; r = file.ReadRecord(buffer.data()))
    if (r.kind == RecordKind::Video) payloads.emplace_back(buffer.begin(), buffer.begin() + r.bytesRead);
  return payloads;
}

void DecodePictures(benchmark::State& state, VideoPath path, const Payloads& payloads) {
  CVideoDecoder decoder;
  decoder.Init();
  if (!decoder.UsePath(path) || payloads.empty()) {
    state.SkipWithError("this path does not run on this processor, or there is nothing to decode");
    return;
  }
  std::size_t bytes = 0;
  for (const auto& p : payloads) bytes += p.size();
  std::vector<std::uint8_t> picture(kPictureBytes);
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& p = payloads[i++ % payloads.size()];
    decoder.Decode(p.data(), p.size(), picture.data(), false);
    benchmark::DoNotOptimize(picture.data());
  }
  state.counters["payload_bytes"] = static_cast<double>(bytes) / static_cast<double>(payloads.size());
}

void BM_DecodeVideoFrame(benchmark::State& state, VideoPath path) { DecodePictures(state, path, RandomPayloads()); }
BENCHMARK_CAPTURE(BM_DecodeVideoFrame, reference, VideoPath::Reference)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DecodeVideoFrame, sse2, VideoPath::Sse2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DecodeVideoFrame, avx2, VideoPath::Avx2)->Unit(benchmark::kMicrosecond);

void BM_DecodeDemoPicture(benchmark::State& state, VideoPath path) { DecodePictures(state, path, DemoPayloads()); }
BENCHMARK_CAPTURE(BM_DecodeDemoPicture, reference, VideoPath::Reference)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DecodeDemoPicture, sse2, VideoPath::Sse2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DecodeDemoPicture, avx2, VideoPath::Avx2)->Unit(benchmark::kMicrosecond);

// The entropy decoding alone: the bit-by-bit walk of the reference path or
// the lookups of the fast ones.
void BM_ParseVideoPayload(benchmark::State& state, bool lookup) {
  const Payloads payloads = RandomPayloads();
  const VideoCodeTables& tables = testing::Tables();
  VideoCodeLookups lookups;
  BuildCodeLookups(tables, lookups);
  VideoSymbols symbols;
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& p = payloads[i++ % payloads.size()];
    benchmark::DoNotOptimize(ParseVideoFrame(tables, p.data(), p.size(), symbols, lookup ? &lookups : nullptr));
  }
}
BENCHMARK_CAPTURE(BM_ParseVideoPayload, bitwalk, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ParseVideoPayload, lookup, true)->Unit(benchmark::kMicrosecond);

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
