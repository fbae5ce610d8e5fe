#include "wavelet_synthesis.h"

#include "wavelet_formula.h"

namespace kestrel {

namespace {

using namespace wavelet;

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

// Plain doubles as the formula's lanes: one sample at a time.
struct Scalar {
  using D = double;
  static D Set(double v) { return v; }
  static D Add(D a, D b) { return a + b; }
  static D Sub(D a, D b) { return a - b; }
  static D Mul(D a, D b) { return a * b; }
};

inline void FullSynthesis(const float* s, int n, float* values, int stride) {
  const Taps<Scalar> t;
  for (int p = 0; p < n; p += 2) {
    const double h[5] = {s[p - 3], s[p - 1], s[p + 1], s[p + 3], s[p + 5]};
    values[p * stride] = static_cast<float>(EvenFull(t, s[p - 2], s[p], s[p + 2], h));
    values[(p + 1) * stride] = static_cast<float>(OddFull(t, s[p - 2], s[p], s[p + 2], s[p + 4], h));
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
