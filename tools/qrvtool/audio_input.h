// Reading any sound file libsndfile knows as 8000 Hz mono 16-bit samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::tool {

// Mixes all channels to mono (their mean), resamples to 8000 Hz with libsoxr
// (high quality) and rounds to 16 bits with clipping. False with a reason on
// failure.
bool LoadAudioAt8k(const std::string& path, std::vector<std::int16_t>& samples, std::string* error);

// The resampling step alone, for mono float samples in -1 .. 1.
std::vector<float> ResampleTo8k(const std::vector<float>& mono, double inputRate, std::string* error);

}  // namespace kestrel::tool
