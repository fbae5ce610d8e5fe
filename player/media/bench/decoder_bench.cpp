// Decoding speed of one video payload, on each reconstruction path, and of
// one audio record (ten frames). The payloads are drawn by the code tables'
// own frequencies, or are the demo message's pictures. And the index of a
// ten-minute message, made when it is opened.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "audio_decoder.h"
#include "message_file.h"
#include "message_format.h"
#include "message_index.h"
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

// Ten minutes at five pictures a second, as a recorder writes it: each
// picture before the 200 ms of sound it goes with; the pictures are the
// sizes the code tables' frequencies give.
void BM_IndexTenMinuteMessage(benchmark::State& state) {
  const Payloads payloads = RandomPayloads();
  testing::MessageBuilder builder;
  builder.FrameRate(5);
  constexpr int kRecords = 10 * 60 * 5;
  for (int i = 0; i < kRecords; ++i) builder.Video(payloads[i % payloads.size()]).SilentAudio(1);
  const std::string path = (std::filesystem::temp_directory_path() / "kestrel-index-bench.qrv").string();
  const std::vector<std::uint8_t> bytes = builder.Bytes();
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
    if (out) std::fclose(out);
    state.SkipWithError("the message could not be written");
    return;
  }
  std::fclose(out);
  const int fd = ::open(path.c_str(), O_RDONLY);
  std::vector<std::uint8_t> scratch(64 * 1024);
  const std::atomic<bool> quit{false};
  CMessageIndex index;
  for (auto _ : state) {
    index.Build(fd, kMessageHeaderSize, scratch.data(), scratch.size(), quit);
    benchmark::DoNotOptimize(index.Pictures());
  }
  ::close(fd);
  std::filesystem::remove(path);
  if (index.AudioRecords() != kRecords || index.Pictures() != kRecords) state.SkipWithError("records missed");
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_IndexTenMinuteMessage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrel

BENCHMARK_MAIN();
