#include "wavelet_synthesis.h"

#include <algorithm>
#include <cstdint>

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

enum class LineKind { Zero, LowOnly, Full };

inline LineKind Classify(const float* values, int n, int stride) {
  const int half = n / 2;
  bool highZero = true;
  for (int k = half; k < n && highZero; ++k) highZero = values[k * stride] == 0.0f;
  if (!highZero) return LineKind::Full;
  for (int k = 0; k < half; ++k)
    if (values[k * stride] != 0.0f) return LineKind::LowOnly;
  return LineKind::Zero;
}

// Lines whose high-pass half is zero take a shortened formula: the terms it
// drops are exact zeros, and adding or subtracting a zero leaves a double
// unchanged (but for the sign of a zero result, which no later step sees).
//
// The column pass of the fast form: runs of neighbouring columns of one kind
// are synthesised together, row by row, so the inner loops run along x over
// independent columns. Each value is computed exactly as in FullSynthesis.
// `rows` holds (h + 8) interleaved rows of kPlaneStride.
template <LineKind kind>
void SynthesizeColumnRun(float* plane, int x0, int x1, int h, float* rows) {
  const int half = h / 2;
  auto row = [rows](int i) { return rows + (i + kLineExtension) * kPlaneStride; };
  for (int k = 0; k < half; ++k) {
    std::copy(plane + k * kPlaneStride + x0, plane + k * kPlaneStride + x1, row(2 * k) + x0);
    if (kind == LineKind::Full)
      std::copy(plane + (half + k) * kPlaneStride + x0, plane + (half + k) * kPlaneStride + x1, row(2 * k + 1) + x0);
  }
  // Odd rows of a low-only run are never read, so copying them is harmless.
  for (int i = 1; i <= kLineExtension; ++i) {
    std::copy(row(i) + x0, row(i) + x1, row(-i) + x0);
    std::copy(row(h - 1 - i) + x0, row(h - 1 - i) + x1, row(h - 1 + i) + x0);
  }
  for (int p = 0; p < h; p += 2) {
    const float *m3 = row(p - 3), *m2 = row(p - 2), *m1 = row(p - 1), *s0 = row(p), *p1 = row(p + 1),
                *p2 = row(p + 2), *p3 = row(p + 3), *p4 = row(p + 4), *p5 = row(p + 5);
    float* evenOut = plane + p * kPlaneStride;
    float* oddOut = plane + (p + 1) * kPlaneStride;
    for (int x = x0; x < x1; ++x) {
      if (kind == LineKind::Full) {
        const double even = (((hp0 * s0[x]) - (lp1 * (double(m1[x]) + p1[x]))) + (hp2 * (double(m2[x]) + p2[x]))) -
                            (lp3 * (double(m3[x]) + p3[x]));
        const double odd = ((((lp4 * (double(p5[x]) + m3[x])) + (hp3 * (double(p4[x]) + m2[x]))) +
                             (hp1 * (double(s0[x]) + p2[x]))) +
                            (lp2 * (double(m1[x]) + p3[x]))) +
                           (lp0 * p1[x]);
        evenOut[x] = static_cast<float>(even);
        oddOut[x] = static_cast<float>(odd);
      } else {
        const double even = (hp0 * s0[x]) + (hp2 * (double(m2[x]) + p2[x]));
        const double odd = (hp3 * (double(p4[x]) + m2[x])) + (hp1 * (double(s0[x]) + p2[x]));
        evenOut[x] = static_cast<float>(even);
        oddOut[x] = static_cast<float>(odd);
      }
    }
  }
}

void SynthesizeColumns(float* plane, int w, int h, float* rows) {
  // Classify every column in one pass along the rows (a scan down each column
  // would touch a cache line per value).
  std::uint8_t lowSet[kMaxLine] = {}, highSet[kMaxLine] = {};
  for (int y = 0; y < h; ++y) {
    const float* row = plane + y * kPlaneStride;
    std::uint8_t* set = y < h / 2 ? lowSet : highSet;
    for (int x = 0; x < w; ++x) set[x] |= row[x] != 0.0f;
  }
  auto kindOf = [&](int x) {
    return highSet[x] ? LineKind::Full : lowSet[x] ? LineKind::LowOnly : LineKind::Zero;
  };
  int x = 0;
  while (x < w) {
    const LineKind kind = kindOf(x);
    int end = x + 1;
    while (end < w && kindOf(end) == kind) ++end;
    if (kind == LineKind::Full) SynthesizeColumnRun<LineKind::Full>(plane, x, end, h, rows);
    if (kind == LineKind::LowOnly) SynthesizeColumnRun<LineKind::LowOnly>(plane, x, end, h, rows);
    x = end;
  }
}

// The row pass of the fast form. With L the low half and H the high half of
// the row, s[2k] = L[k] and s[2k+1] = H[k]; written over L and H the two
// formulas have unit strides and vectorise. The mirrored ends become
// H[-1] = H[0], L[-1] = L[1], H[-2] = H[1] and L[h] = L[h-1], H[h] = H[h-2],
// L[h+1] = L[h-2], H[h+1] = H[h-3] (h = n/2). Every sum pairs the same two
// values as the line formula, so each output is the same double.
template <LineKind kind>
void SynthesizeRow(float* values, int n, float* scratch) {
  const int h = n / 2;
  constexpr int kPad = 2;
  float* L = scratch + kPad;
  float* H = L + h + 2 * kPad;
  float* even = H + h + 2 * kPad;
  float* odd = even + h;
  std::copy(values, values + h, L);
  L[-1] = L[1];
  L[-2] = L[2];
  L[h] = L[h - 1];
  L[h + 1] = L[h - 2];
  if (kind == LineKind::Full) {
    std::copy(values + h, values + n, H);
    H[-1] = H[0];
    H[-2] = H[1];
    H[h] = H[h - 2];
    H[h + 1] = H[h - 3];
    for (int k = 0; k < h; ++k) {
      even[k] = static_cast<float>((((hp0 * L[k]) - (lp1 * (double(H[k - 1]) + H[k]))) + (hp2 * (double(L[k - 1]) + L[k + 1]))) -
                                   (lp3 * (double(H[k - 2]) + H[k + 1])));
      odd[k] = static_cast<float>(((((lp4 * (double(H[k + 2]) + H[k - 2])) + (hp3 * (double(L[k + 2]) + L[k - 1]))) +
                                    (hp1 * (double(L[k]) + L[k + 1]))) +
                                   (lp2 * (double(H[k - 1]) + H[k + 1]))) +
                                  (lp0 * H[k]));
    }
  } else {
    for (int k = 0; k < h; ++k) {
      even[k] = static_cast<float>((hp0 * L[k]) + (hp2 * (double(L[k - 1]) + L[k + 1])));
      odd[k] = static_cast<float>((hp3 * (double(L[k + 2]) + L[k - 1])) + (hp1 * (double(L[k]) + L[k + 1])));
    }
  }
  for (int k = 0; k < h; ++k) {
    values[2 * k] = even[k];
    values[2 * k + 1] = odd[k];
  }
}

void SynthesizeRows(float* plane, int w, int h, float* scratch) {
  for (int y = 0; y < h; ++y) {
    float* row = plane + y * kPlaneStride;
    switch (Classify(row, w, 1)) {
      case LineKind::Zero: break;
      case LineKind::LowOnly: SynthesizeRow<LineKind::LowOnly>(row, w, scratch); break;
      case LineKind::Full: SynthesizeRow<LineKind::Full>(row, w, scratch); break;
    }
  }
}

template <typename LineFn>
void SynthesizeLevels(float* plane, int levels, float* line, LineFn lineFn) {
  for (int level = levels - 1; level >= 0; --level) {
    const int w = kLevelWidth[level], h = kLevelHeight[level];
    for (int x = 0; x < w; ++x) lineFn(plane + x, h, kPlaneStride, line);
    for (int y = 0; y < h; ++y) lineFn(plane + y * kPlaneStride, w, 1, line);
  }
}

}  // namespace

void SynthesizeLineReference(float* values, int n, int stride, float* line) {
  LoadLine(values, n, stride, line + kLineExtension);
  FullSynthesis(line + kLineExtension, n, values, stride);
}

void SynthesizePlane(float* plane, int levels, float* rows) {
  for (int level = levels - 1; level >= 0; --level) {
    const int w = kLevelWidth[level], h = kLevelHeight[level];
    SynthesizeColumns(plane, w, h, rows);
    SynthesizeRows(plane, w, h, rows);
  }
}

void SynthesizePlaneReference(float* plane, int levels, float* line) {
  SynthesizeLevels(plane, levels, line, SynthesizeLineReference);
}

}  // namespace kestrel
