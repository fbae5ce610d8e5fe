// The line filters and the colour formulas of the fast form, written once over
// an instruction set's vectors; the filters apply the synthesis formula that
// the reference path shares (wavelet_formula.h). Included only by the files
// that compile them for one instruction set (video_kernels_sse2.cpp,
// video_kernels_avx2.cpp).
//
// `Isa` is a struct of that file's anonymous namespace with
//   D, kLanes                      the vector of doubles and its width;
//   Set, Add, Sub, Mul             lane-wise double arithmetic;
//   Widen(const float*)            kLanes floats as doubles (exact);
//   Load, Store                    kLanes doubles;
//   Round(D)                       rounded to float, widened back (exact);
//   NarrowPairs(float*, D e, D o)  rounded to float and interleaved:
//                                  e0 o0 e1 o1 ...
//   NarrowSplit(float* e, float* o, D e, D o)  rounded, each to its own place
// and, for the colour formulas, I, a vector of 16-bit lanes, with the
// instruction set's integer operations under their own names (add_epi16 as
// Add16, and so on).
// Every template here depends on `Isa`, so each instantiation has internal
// linkage: nothing compiled for one instruction set can be merged by the
// linker into code that runs on a processor without it. Only intrinsics and
// plain loops, no library calls, for the same reason.
//
// Each output is the plain formula of its sample: the same operands, the same
// bracketing, double precision, one rounding to float. Lanes hold neighbouring
// outputs, which share nothing but their inputs. With the high-pass half zero,
// the formulas lose terms that are exact zeros; adding or subtracting a zero
// leaves a double unchanged, but for the sign of a zero result, which no
// later step can observe (a sum of it with anything non-zero is that value,
// and the conversion to integers makes both zeros 0).
#pragma once

#include <cstdint>

#include "colour_matrix.h"
#include "video_kernels.h"
#include "wavelet_formula.h"

namespace kestrel::wavelet {

// Rows of doubles: each input value is widened once, by Widen, and each
// column-pass output is rounded to float once and kept widened for the row
// pass that reads it.
template <class Isa>
void Widen(const float* in, int n, double* out) {
#pragma GCC unroll 4
  for (int i = 0; i < n; i += Isa::kLanes) Isa::Store(out + i, Isa::Widen(in + i));
}

template <class Isa>
void ColumnPairLow(const double* const low[4], int width, double* even, double* odd) {
  const double *r0 = low[0], *r1 = low[1], *r2 = low[2], *r3 = low[3];
  const Taps<Isa> t;
#pragma GCC unroll 2
  for (int x = 0; x < width; x += Isa::kLanes) {
    const auto lm1 = Isa::Load(r0 + x), l0 = Isa::Load(r1 + x), l1 = Isa::Load(r2 + x), l2 = Isa::Load(r3 + x);
    Isa::Store(even + x, Isa::Round(EvenLow(t, lm1, l0, l1)));
    Isa::Store(odd + x, Isa::Round(OddLow(t, lm1, l0, l1, l2)));
  }
}

template <class Isa>
void ColumnPairFull(const double* const low[4], const double* const high[5], int width, double* even, double* odd) {
  const double *r0 = low[0], *r1 = low[1], *r2 = low[2], *r3 = low[3];
  const double *h0 = high[0], *h1 = high[1], *h2 = high[2], *h3 = high[3], *h4 = high[4];
  const Taps<Isa> t;
  for (int x = 0; x < width; x += Isa::kLanes) {
    const auto lm1 = Isa::Load(r0 + x), l0 = Isa::Load(r1 + x), l1 = Isa::Load(r2 + x), l2 = Isa::Load(r3 + x);
    const typename Isa::D h[5] = {Isa::Load(h0 + x), Isa::Load(h1 + x), Isa::Load(h2 + x), Isa::Load(h3 + x),
                                  Isa::Load(h4 + x)};
    Isa::Store(even + x, Isa::Round(EvenFull(t, lm1, l0, l1, h)));
    Isa::Store(odd + x, Isa::Round(OddFull(t, lm1, l0, l1, l2, h)));
  }
}

// The ends of a row's halves, mirrored as the interleaved line is about its
// end samples: L[-1] = L[1], L[h] = L[h-1], L[h+1] = L[h-2] and H[-2] = H[1],
// H[-1] = H[0], H[h] = H[h-2], H[h+1] = H[h-3]. Rows have two places before
// and after them for these.
template <class Isa>
void MirrorLowEnds(double* L, int h) {
  L[-1] = L[1];
  L[h] = L[h - 1];
  L[h + 1] = L[h - 2];
}
template <class Isa>
void MirrorHighEnds(double* H, int h) {
  H[-2] = H[1];
  H[-1] = H[0];
  H[h] = H[h - 2];
  H[h + 1] = H[h - 3];
}

// With `kSplit` the even outputs go to out[0 .. half) and the odd ones to
// out[half .. 2 half), for the colour conversion, which puts them in order
// with the bytes; otherwise they are interleaved.
template <class Isa, bool kSplit>
void RowLowTo(double* L, int half, float* out) {
  MirrorLowEnds<Isa>(L, half);
  const Taps<Isa> t;
#pragma GCC unroll 2
  for (int k = 0; k < half; k += Isa::kLanes) {
    const auto lm1 = Isa::Load(L + k - 1), l0 = Isa::Load(L + k), l1 = Isa::Load(L + k + 1), l2 = Isa::Load(L + k + 2);
    const auto even = EvenLow(t, lm1, l0, l1), odd = OddLow(t, lm1, l0, l1, l2);
    if constexpr (kSplit)
      Isa::NarrowSplit(out + k, out + half + k, even, odd);
    else
      Isa::NarrowPairs(out + 2 * k, even, odd);
  }
}
// Strips of planes side by side, kStripGap places apart.
template <class Isa>
void RowLow(double* L, int half, int planes, float* out) {
  for (int p = 0; p < planes; ++p)
    RowLowTo<Isa, false>(L + p * (half + kStripGap), half, out + p * (2 * half + kStripGap));
}
template <class Isa>
void RowLowSplit(double* L, int half, int planes, float* out) {
  for (int p = 0; p < planes; ++p) RowLowTo<Isa, true>(L + p * (half + kStripGap), half, out + p * 2 * half);
}

template <class Isa>
void RowFull(double* L, double* H, int half, float* out) {
  MirrorLowEnds<Isa>(L, half);
  MirrorHighEnds<Isa>(H, half);
  const Taps<Isa> t;
  for (int k = 0; k < half; k += Isa::kLanes) {
    const auto lm1 = Isa::Load(L + k - 1), l0 = Isa::Load(L + k), l1 = Isa::Load(L + k + 1), l2 = Isa::Load(L + k + 2);
    const typename Isa::D h[5] = {Isa::Load(H + k - 2), Isa::Load(H + k - 1), Isa::Load(H + k), Isa::Load(H + k + 1),
                                  Isa::Load(H + k + 2)};
    Isa::NarrowPairs(out + 2 * k, EvenFull(t, lm1, l0, l1, h), OddFull(t, lm1, l0, l1, l2, h));
  }
}

}  // namespace kestrel::wavelet

namespace kestrel::colour {

// The colour matrix (colour_matrix.h) rewritten for 16-bit lanes. Only
// the low 16 bits of each result are kept, so sums may wrap freely; the floor
// divisions are exact:
//   blue  = (128 Y + 260 U) >> 7 = Y + 2 U + (U >> 5), as 260 = 2 128 + (128 >> 5)
//   red   = (128 Y + 146 V) >> 7 = Y + V + floor(18 V / 128), the high half of
//           V * (18 << 9)
//   green = Y + ((-51 U - 74 V) >> 7), the sum formed in 32 bits (its quotient
//           lies within +-32000, so the pack back to 16 bits does not saturate).
inline constexpr int kBlueRemainderShift = 5;
static_assert(kBlueFromU == 2 * kLumaWeight + (kLumaWeight >> kBlueRemainderShift));
inline constexpr int kRedRemainderHigh = (kRedFromV - kLumaWeight) << (16 - kShift);  // 9216

template <class Isa>
struct Bgr16 {
  typename Isa::I blue, green, red;
};
template <class Isa>
Bgr16<Isa> ColourOf(typename Isa::I y, typename Isa::I u, typename Isa::I v) {
  using I = Isa;
  const auto blue = I::Add16(I::Add16(y, I::Add16(u, u)), I::Srai16(u, kBlueRemainderShift));
  const auto red = I::Add16(I::Add16(y, v), I::Mulhi16(v, I::Set16(kRedRemainderHigh)));
  const auto weights =
      I::Set32(static_cast<int>((static_cast<std::uint32_t>(-kGreenFromV) << 16) | (-kGreenFromU & 0xFFFF)));
  const auto lo = I::Srai32(I::Madd16(I::UnpackLo16(u, v), weights), kShift);
  const auto hi = I::Srai32(I::Madd16(I::UnpackHi16(u, v), weights), kShift);
  return {blue, I::Add16(y, I::Packs32(lo, hi)), red};
}

}  // namespace kestrel::colour
