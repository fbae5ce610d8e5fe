#include "wavelet_synthesis.h"

#include "wavelet_filters.h"

namespace kestrel {

namespace {

using namespace wavelet;

constexpr double lp0 = kLp0, lp1 = kLp1, lp2 = kLp2, lp3 = kLp3, lp4 = kLp4;
constexpr double hp0 = kHp0, hp1 = kHp1, hp2 = kHp2, hp3 = kHp3;

constexpr int kPlaneStride = kMaxLine;

// Interleaves the two halves into s[0 .. n-1] (low values at even places) and
// mirrors both ends about their end samples. `s` points past the four leading
// extension places of the line buffer.
inline void LoadLine(const float* values, int n, int stride, float* s) {
  const int half = n / 2;
  for (int k = 0; k < half; ++k) {
    s[2 * k] = values[k * stride];
    s[2 * k + 1] = values[(half + k) * stride];
  }
  for (int i = 1; i <= kLineExtension; ++i) {
    s[-i] = s[i];
    s[n - 1 + i] = s[n - 1 - i];
  }
}

inline void FullSynthesis(const float* s, int n, float* values, int stride) {
  for (int p = 0; p < n; p += 2) {
    const double even = (((hp0 * s[p]) - (lp1 * (double(s[p - 1]) + s[p + 1]))) +
                         (hp2 * (double(s[p - 2]) + s[p + 2]))) -
                        (lp3 * (double(s[p - 3]) + s[p + 3]));
    const double odd = ((((lp4 * (double(s[p + 5]) + s[p - 3])) + (hp3 * (double(s[p + 4]) + s[p - 2]))) +
                         (hp1 * (double(s[p]) + s[p + 2]))) +
                        (lp2 * (double(s[p - 1]) + s[p + 3]))) +
                       (lp0 * s[p + 1]);
    values[p * stride] = static_cast<float>(even);
    values[(p + 1) * stride] = static_cast<float>(odd);
  }
}

}  // namespace

void SynthesizeLineReference(float* values, int n, int stride, float* line) {
  LoadLine(values, n, stride, line + kLineExtension);
  FullSynthesis(line + kLineExtension, n, values, stride);
}

void SynthesizePlaneReference(float* plane, int levels, float* line) {
  for (int level = levels - 1; level >= 0; --level) {
    const int w = kLevelWidth[level], h = kLevelHeight[level];
    for (int x = 0; x < w; ++x) SynthesizeLineReference(plane + x, h, kPlaneStride, line);
    for (int y = 0; y < h; ++y) SynthesizeLineReference(plane + y * kPlaneStride, w, 1, line);
  }
}

}  // namespace kestrel
