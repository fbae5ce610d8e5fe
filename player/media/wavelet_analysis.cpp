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

// x[-i] = x[i] and x[n-1+i] = x[n-1-i]: mirrored about the end samples.
inline int Mirror(int i, int n) {
  while (i < 0 || i >= n) i = i < 0 ? -i : 2 * (n - 1) - i;
  return i;
}

void AnalyseLine(float* values, int n, int stride, double* line, double* out) {
  for (int i = 0; i < n; ++i) line[i] = values[i * stride];
  const int half = n / 2;
  for (int k = 0; k < half; ++k) {
    double low = kLow[0] * line[2 * k];
    for (int d = 1; d <= 4; ++d) low += kLow[d] * (line[Mirror(2 * k - d, n)] + line[Mirror(2 * k + d, n)]);
    const int c = 2 * k + 1;
    double high = kHigh[0] * line[c];
    for (int d = 1; d <= 3; ++d) high += kHigh[d] * (line[Mirror(c - d, n)] + line[Mirror(c + d, n)]);
    out[k] = low;
    out[half + k] = high;
  }
  for (int i = 0; i < n; ++i) values[i * stride] = static_cast<float>(out[i]);
}

}  // namespace

void AnalysePlane(float* plane, int levels) {
  double line[kMaxLine], out[kMaxLine];
  for (int level = 0; level < levels; ++level) {
    const int w = kLevelWidth[level], h = kLevelHeight[level];
    for (int y = 0; y < h; ++y) AnalyseLine(plane + y * kStride, w, 1, line, out);
    for (int x = 0; x < w; ++x) AnalyseLine(plane + x, h, kStride, line, out);
  }
}

}  // namespace kestrel
