// The waveform scope as the reader's sample sink: each sample, full scale
// -32768 .. 32767, becomes a value on the scope's range 0 .. 2, silence at
// its middle.
#pragma once

#include <cstdint>

#include "sample_sink.h"

namespace kestrel {

class CWaveformScope;

inline constexpr float kScopeLower = 0.0f;
inline constexpr float kScopeUpper = 2.0f;

// The value plotted for `sample`: a full-scale sample spans half the range.
inline constexpr float ScopeValueOf(std::int16_t sample) {
  constexpr float kFullScale = 32768.0f;
  constexpr float kMiddle = (kScopeLower + kScopeUpper) / 2;
  constexpr float kHalfRange = (kScopeUpper - kScopeLower) / 2;
  return static_cast<float>(sample) * (kHalfRange / kFullScale) + kMiddle;
}

class CScopeSampleSink final : public ISampleSink {
 public:
  explicit CScopeSampleSink(CWaveformScope& scope) : scope_(scope) {}
  void OnSample(std::int16_t sample) override;

 private:
  CWaveformScope& scope_;
};

}  // namespace kestrel
