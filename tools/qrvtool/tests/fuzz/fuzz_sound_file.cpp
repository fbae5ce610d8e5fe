// A sound file as `qrvtool encode --audio FILE` reads it: libsndfile opens it
// whatever its format, the channels are mixed, and libsoxr resamples to
// 8000 Hz as blocks are read.
//
// Budget: at most kSamples samples at 8000 Hz per input (two seconds of
// message), read in blocks of the size the encoder takes. Memory is bounded
// by the fuzz script's per-allocation and resident limits.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "audio_input.h"
#include "fuzz_input_file.h"
#include "message_format.h"
#include "qrvtool.h"

using namespace kestrel::tool;

namespace {
constexpr std::size_t kSamples = 16000;
constexpr std::size_t kBlock = kestrel::kAudioFramesPerRecord * kestrel::kSamplesPerAudioFrame;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = kestrel::fuzzing::WriteInput("sound", data, size);
  AudioInput input;
  std::string why;
  const int status = input.Open(file.string(), &why);
  if (status != kExitOk) {
    // Refused with a reason, as a file libsndfile does not take (2).
    if (status != kExitBadInput || why.empty()) std::abort();
    return 0;
  }
  std::int16_t samples[kBlock];
  for (std::size_t total = 0; total < kSamples;) {
    std::size_t got = 0;
    if (!input.Read(samples, kBlock, got, &why)) {
      if (why.empty()) std::abort();
      return 0;
    }
    const double fraction = input.Fraction();
    if (got > kBlock || !(fraction == -1.0 || (fraction >= 0.0 && fraction <= 1.0))) std::abort();
    total += got;
    if (got < kBlock) break;
  }
  return 0;
}
