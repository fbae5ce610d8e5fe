// The synthesis formula of the CDF 9/7 wavelet, written once over a set of
// lane operations: the reference path instantiates it with plain doubles, the
// vector kernels with their instruction set's vectors (video_kernels_impl.h).
//
// `Isa` provides D (a double or a vector of doubles) and Set, Add, Sub, Mul.
// The bracketing below is the format's: each output is computed in double
// precision in exactly this order and rounded to float once by the caller, so
// no sum may be regrouped and no product fused with an addition.
#pragma once

#include "wavelet_filters.h"

namespace kestrel::wavelet {

template <class Isa>
struct Taps {
  using D = typename Isa::D;
  D lp0 = Isa::Set(kLp0), lp1 = Isa::Set(kLp1), lp2 = Isa::Set(kLp2), lp3 = Isa::Set(kLp3), lp4 = Isa::Set(kLp4);
  D hp0 = Isa::Set(kHp0), hp1 = Isa::Set(kHp1), hp2 = Isa::Set(kHp2), hp3 = Isa::Set(kHp3);
};

// Output samples 2k and 2k+1, with L and H the two halves of the interleaved
// line s: s[2k] = L[k], s[2k+1] = H[k]. lm1, l0, l1, l2 are L[k-1 .. k+2] and
// h[i] is H[k - 2 + i].
template <class Isa>
inline typename Isa::D EvenFull(const Taps<Isa>& t, typename Isa::D lm1, typename Isa::D l0, typename Isa::D l1,
                                const typename Isa::D* h) {
  using I = Isa;
  return I::Sub(I::Add(I::Sub(I::Mul(t.hp0, l0), I::Mul(t.lp1, I::Add(h[1], h[2]))), I::Mul(t.hp2, I::Add(lm1, l1))),
                I::Mul(t.lp3, I::Add(h[0], h[3])));
}
template <class Isa>
inline typename Isa::D OddFull(const Taps<Isa>& t, typename Isa::D lm1, typename Isa::D l0, typename Isa::D l1,
                               typename Isa::D l2, const typename Isa::D* h) {
  using I = Isa;
  const typename Isa::D sum =
      I::Add(I::Add(I::Mul(t.lp4, I::Add(h[4], h[0])), I::Mul(t.hp3, I::Add(l2, lm1))), I::Mul(t.hp1, I::Add(l0, l1)));
  return I::Add(I::Add(sum, I::Mul(t.lp2, I::Add(h[1], h[3]))), I::Mul(t.lp0, h[2]));
}

// The same formulas for a line whose high half is zero: the terms in H are
// exact zeros and are left out, which changes no result but the sign of a
// zero (see video_kernels_impl.h).
template <class Isa>
inline typename Isa::D EvenLow(const Taps<Isa>& t, typename Isa::D lm1, typename Isa::D l0, typename Isa::D l1) {
  return Isa::Add(Isa::Mul(t.hp0, l0), Isa::Mul(t.hp2, Isa::Add(lm1, l1)));
}
template <class Isa>
inline typename Isa::D OddLow(const Taps<Isa>& t, typename Isa::D lm1, typename Isa::D l0, typename Isa::D l1,
                              typename Isa::D l2) {
  return Isa::Add(Isa::Mul(t.hp3, Isa::Add(l2, lm1)), Isa::Mul(t.hp1, Isa::Add(l0, l1)));
}

}  // namespace kestrel::wavelet
