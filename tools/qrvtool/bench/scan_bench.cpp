// The rate of batch decoding inside one process: a message read and decoded
// as `qrvtool decode` does, with one picture decoder and with one per core.
// "pictures/s" is the rate; the ratio of the two rows is the speed-up of the
// decoding itself, without the start and end of a process around it.
//
// usage: scan_bench [--message FILE] [benchmark options]
// Without --message: a 40 s message of random pictures (every payload at its
// size limit) and noise, made in a temporary folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "audio_record_encoder.h"
#include "message_format.h"
#include "message_input.h"
#include "message_scan.h"
#include "message_writer.h"
#include "ordered_work.h"
#include "video_encoder.h"

namespace kestrel::tool {
namespace {

constexpr int kSeconds = 40, kRate = 5;

std::string g_messagePath;  // --message, when given

// Writes the message once, in a temporary folder removed at exit.
std::string RandomMessage() {
  static const std::string path = [] {
    static char folder[] = "/tmp/scan-bench.XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    const std::string file = std::string(folder) + "/random.qrv";
    std::atexit([] {
      unlink((std::string(folder) + "/random.qrv").c_str());
      rmdir(folder);
    });
    std::mt19937 random(16);
    std::vector<std::uint8_t> picture(kPictureBytes);
    std::vector<std::int16_t> sound(kSamplesPerAudioRecord);
    CVideoEncoder video;
    AudioRecordEncoder audio;
    MessageFileWriter writer;
    std::string why;
    if (!writer.Open(file, kRate, false, &why)) std::abort();
    // One picture and one record of sound for each 200 ms.
    for (int k = 0; k < kSeconds * kRate; ++k) {
      for (auto& byte : picture) byte = static_cast<std::uint8_t>(random());
      for (auto& sample : sound) sample = static_cast<std::int16_t>(random() % 20001 - 10000);
      if (!writer.WriteVideo(video.Encode(picture.data())) || !writer.WriteAudio(audio.Encode(sound.data())))
        std::abort();
    }
    if (!writer.Commit(&why)) std::abort();
    return file;
  }();
  return path;
}

void BM_DecodeMessage(benchmark::State& state) {
  const std::string path = g_messagePath.empty() ? RandomMessage() : g_messagePath;
  const auto threads = static_cast<unsigned>(state.range(0));
  std::uint64_t seen = 0, pictures = 0;
  for (auto _ : state) {
    std::ostringstream out, err;
    Reporter report(out, err, false);
    MessageInput message;
    if (message.Open(path, report) != 0) {
      state.SkipWithError("cannot open the message");
      return;
    }
    ScanCallbacks callbacks;
    callbacks.onAudioFrame = [&](const std::int16_t* samples) { seen += static_cast<std::uint16_t>(samples[0]); };
    callbacks.onPicture = [&](const std::uint8_t* picture, const PayloadCheck&, const std::vector<std::uint8_t>&) {
      seen += picture[kPictureBytes / 2];
      ++pictures;
    };
    if (ScanMessage(message, callbacks, threads).decoderFailed) {
      state.SkipWithError("no memory for the decoders");
      return;
    }
  }
  benchmark::DoNotOptimize(seen);
  state.counters["pictures/s"] = benchmark::Counter(static_cast<double>(pictures), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeMessage)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(AvailableCores())
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrel::tool

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--message" && i + 1 < argc) {
      kestrel::tool::g_messagePath = argv[++i];
    } else {
      std::fprintf(stderr, "scan_bench: unknown argument '%s'\n", argv[i]);
      return 2;
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
