#include "audio_input.h"

#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <cmath>

namespace kestrel::tool {

std::vector<float> ResampleTo8k(const std::vector<float>& mono, double inputRate, std::string* error) {
  if (inputRate == 8000.0) return mono;
  const double ratio = 8000.0 / inputRate;
  std::vector<float> out(static_cast<std::size_t>(std::ceil(mono.size() * ratio)) + 16);
  std::size_t done = 0;
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  const soxr_error_t failed =
      soxr_oneshot(inputRate, 8000.0, 1, mono.data(), mono.size(), nullptr, out.data(), out.size(), &done, &io,
                   &quality, nullptr);
  if (failed) {
    if (error) *error = std::string("resampling failed: ") + failed;
    return {};
  }
  out.resize(done);
  return out;
}

bool LoadAudioAt8k(const std::string& path, std::vector<std::int16_t>& samples, std::string* error) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    if (error) *error = path + ": " + sf_strerror(nullptr);
    return false;
  }
  if (info.channels < 1 || info.samplerate < 1) {
    sf_close(file);
    if (error) *error = path + ": no sound in the file";
    return false;
  }
  std::vector<float> mono;
  std::vector<float> block(4096 * static_cast<std::size_t>(info.channels));
  for (;;) {
    const sf_count_t frames = sf_readf_float(file, block.data(), 4096);
    if (frames <= 0) break;
    for (sf_count_t f = 0; f < frames; ++f) {
      float sum = 0;
      for (int c = 0; c < info.channels; ++c) sum += block[f * info.channels + c];
      mono.push_back(sum / static_cast<float>(info.channels));
    }
  }
  sf_close(file);
  const std::vector<float> resampled = ResampleTo8k(mono, info.samplerate, error);
  if (resampled.empty() && !mono.empty()) return false;
  samples.resize(resampled.size());
  std::transform(resampled.begin(), resampled.end(), samples.begin(), [](float v) {
    return static_cast<std::int16_t>(std::clamp(std::lround(v * 32768.0f), -32768L, 32767L));
  });
  return true;
}

}  // namespace kestrel::tool
