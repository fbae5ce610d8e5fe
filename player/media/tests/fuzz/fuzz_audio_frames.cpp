// Audio frames through one decoder state, as the reader hands them over: the
// input is cut into 33-byte frames (a last partial one is padded with zeros,
// as the reader pads an audio record cut short). With libgsm built with the
// fuzz build's instrumentation the fuzzer sees the synthesis's branches too.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "audio_decoder.h"
#include "message_format.h"

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  AudioDecoderState* state = CreateAudioDecoder();
  if (!state) std::abort();
  std::array<std::int16_t, kSamplesPerAudioFrame> samples;
  for (std::size_t at = 0; at < size; at += kAudioFrameBytes) {
    // A frame of its own on the heap: a read past its 33 bytes is caught.
    auto* frame = new std::uint8_t[kAudioFrameBytes]();
    std::memcpy(frame, data + at, std::min(kAudioFrameBytes, size - at));
    samples.fill(1);
    DecodeAudioFrame(state, frame, samples.data());
    delete[] frame;
    // Post-processing clears the three low bits of every sample; a sample
    // left unwritten keeps the 1 filled in above.
    if (std::any_of(samples.begin(), samples.end(), [](std::int16_t s) { return s % 8 != 0; })) std::abort();
  }
  DestroyAudioDecoder(state);
  return 0;
}
