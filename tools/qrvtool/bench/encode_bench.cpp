// Recording speed and picture quality of the encoder.
//
// BM_EncodeDemoMessage encodes what the demo message holds (10 s of sound,
// 50 pictures) and reports "realtime", seconds of message per second of work.
// BM_PictureQuality reports the PSNR of decode(encode(picture)) against the
// picture, for each drawn test scene, in luma and in each colour.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "audio_record_encoder.h"
#include "message_format.h"
#include "support/test_pictures.h"
#include "video_decoder.h"
#include "video_encoder.h"

namespace kestrel::tool {
namespace {

void BM_EncodeDemoMessage(benchmark::State& state) {
  constexpr int kPictures = 50, kRecords = 50;
  std::vector<std::vector<std::uint8_t>> pictures;
  for (int k = 0; k < kPictures; ++k) pictures.push_back(testing::DrawTestPicture(k % testing::kSceneCount, k));
  std::vector<std::int16_t> sound(kRecords * kSamplesPerAudioRecord);
  for (std::size_t i = 0; i < sound.size(); ++i)
    sound[i] = static_cast<std::int16_t>(8000 * std::sin(i * 0.07) * std::sin(i * 0.0009));
  CVideoEncoder video;
  for (auto _ : state) {
    AudioRecordEncoder audio;
    for (int j = 0; j < kRecords; ++j) {
      benchmark::DoNotOptimize(video.Encode(pictures[j].data()));
      benchmark::DoNotOptimize(audio.Encode(sound.data() + j * kSamplesPerAudioRecord));
    }
  }
  state.counters["realtime"] = benchmark::Counter(10.0 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EncodeDemoMessage)->Unit(benchmark::kMillisecond);

void BM_EncodePicture(benchmark::State& state) {
  const auto picture = testing::DrawTestPicture(static_cast<int>(state.range(0)), 1);
  CVideoEncoder video;
  for (auto _ : state) benchmark::DoNotOptimize(video.Encode(picture.data()));
}
BENCHMARK(BM_EncodePicture)->DenseRange(0, testing::kSceneCount - 1)->Unit(benchmark::kMillisecond);

void BM_PictureQuality(benchmark::State& state) {
  const auto picture = testing::DrawTestPicture(static_cast<int>(state.range(0)), 1);
  CVideoEncoder encoder;
  CVideoDecoder decoder;
  decoder.Init();
  std::vector<std::uint8_t> decoded(kPictureBytes);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const auto payload = encoder.Encode(picture.data());
    decoder.Decode(payload.data(), payload.size(), decoded.data(), false);
    bytes = payload.size();
  }
  state.counters["psnr_luma"] = testing::Psnr(picture, decoded, 3);
  state.counters["psnr_red"] = testing::Psnr(picture, decoded, 2);
  state.counters["psnr_green"] = testing::Psnr(picture, decoded, 1);
  state.counters["psnr_blue"] = testing::Psnr(picture, decoded, 0);
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PictureQuality)->DenseRange(0, testing::kSceneCount - 1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrel::tool

BENCHMARK_MAIN();
