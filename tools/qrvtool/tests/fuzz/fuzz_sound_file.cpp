// A sound file as `qrvtool encode --audio FILE` reads it: libsndfile opens it
// whatever its format, the channels are mixed, and libsoxr resamples to
// 8000 Hz as blocks are read. A file libsndfile takes is read a second time
// through a pipe, as `... | qrvtool encode --audio -` reads it: libsndfile
// reads a pipe as a stream, with paths of its own.
//
// Budget: at most kSamples samples at 8000 Hz per reading (two seconds of
// message), in blocks of a record's sound, as the encoder takes them. Memory
// is bounded by the fuzz script's per-allocation and resident limits.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "audio_input.h"
#include "format_libraries.h"
#include "fuzz_input_file.h"
#include "message_format.h"
#include "qrvtool.h"

using namespace kestrel::tool;

namespace {

constexpr std::size_t kSamples = 16000;
constexpr std::size_t kBlock = kestrel::kAudioFramesPerRecord * kestrel::kSamplesPerAudioFrame;

// Opens and reads the sound at `path`; whether libsndfile took it.
bool ReadSound(const std::string& path) {
  AudioInput input;
  std::string why;
  const int status = input.Open(path, &why);
  if (status != kExitOk) {
    // Refused with a reason, as a file that is no sound libsndfile reads (2).
    if (status != kExitBadInput || why.empty()) std::abort();
    return false;
  }
  std::int16_t samples[kBlock];
  for (std::size_t total = 0; total < kSamples;) {
    std::size_t got = 0;
    if (!input.Read(samples, kBlock, got, &why)) {
      if (why.empty()) std::abort();
      break;
    }
    const double fraction = input.Fraction();
    if (got > kBlock || !(fraction == -1.0 || (fraction >= 0.0 && fraction <= 1.0))) std::abort();
    total += got;
    if (got < kBlock) break;
  }
  return true;
}

// The bytes through a pipe they fit in, written whole before it is read.
void ReadSoundFromPipe(const std::uint8_t* data, std::size_t size) {
  int ends[2];
  if (pipe(ends) != 0) std::abort();
  const int capacity = fcntl(ends[1], F_SETPIPE_SZ, 1 << 20);
  if (capacity >= 0 && size <= static_cast<std::size_t>(capacity) &&
      write(ends[1], data, size) == static_cast<ssize_t>(size)) {
    close(ends[1]);
    ReadSound("/dev/fd/" + std::to_string(ends[0]));
  } else {
    close(ends[1]);
  }
  close(ends[0]);
}

}  // namespace

// The module is loaded before the first input, as the program loads it
// before reading: its coverage counts from the start, and a module that
// cannot be loaded stops the run at once.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!LoadFormatLibraries(nullptr)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (ReadSound(kestrel::fuzzing::WriteInput("sound", data, size).string())) ReadSoundFromPipe(data, size);
  return 0;
}
