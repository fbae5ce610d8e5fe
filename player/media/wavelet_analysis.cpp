#include "wavelet_analysis.h"

#include "wavelet_filters.h"

namespace kestrel {

namespace {

using namespace wavelet;

constexpr int kStride = kMaxLine;

// Analysis filters, by distance from the centre: the low-pass is lp0 .. lp4;
// the high-pass is hp0, -hp1, hp2, -hp3 (the synthesis uses them unsigned and
// the low-pass with alternating signs).
constexpr double kLow[5] = {kLp0, kLp1, kLp2, kLp3, kLp4};
constexpr double kHigh[4] = {kHp0, -double(kHp1), kHp2, -double(kHp3)};

constexpr int kPad = 4;

// The line with four mirrored places at each end (x[-i] = x[i] and
// x[n-1+i] = x[n-1-i]), so the filters need no bounds checks.
void AnalyseLine(float* values, int n, int stride, double* padded, double* out) {
  double* x = padded + kPad;
  for (int i = 0; i < n; ++i) x[i] = values[i * stride];
  for (int i = 1; i <= kPad; ++i) {
    x[-i] = x[i];
    x[n - 1 + i] = x[n - 1 - i];
  }
  const int half = n / 2;
  for (int k = 0; k < half; ++k) {
    const double* e = x + 2 * k;
    out[k] = kLow[0] * e[0] + kLow[1] * (e[-1] + e[1]) + kLow[2] * (e[-2] + e[2]) + kLow[3] * (e[-3] + e[3]) +
             kLow[4] * (e[-4] + e[4]);
    const double* o = e + 1;
    out[half + k] = kHigh[0] * o[0] + kHigh[1] * (o[-1] + o[1]) + kHigh[2] * (o[-2] + o[2]) + kHigh[3] * (o[-3] + o[3]);
  }
  for (int i = 0; i < n; ++i) values[i * stride] = static_cast<float>(out[i]);
}

}  // namespace

void AnalysePlane(float* plane, int levels) {
  double line[kMaxLine + 2 * kPad], out[kMaxLine];
  for (int level = 0; level < levels; ++level) {
    const int w = kLevelWidth[level], h = kLevelHeight[level];
    for (int y = 0; y < h; ++y) AnalyseLine(plane + y * kStride, w, 1, line, out);
    for (int x = 0; x < w; ++x) AnalyseLine(plane + x, h, kStride, line, out);
  }
}

}  // namespace kestrel
