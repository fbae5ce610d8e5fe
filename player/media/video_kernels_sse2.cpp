// The fast form's kernels for every x86-64 processor (SSE2, the baseline).
#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "video_kernels_impl.h"
#include "video_kernels_isa.h"

namespace kestrel {

namespace {

struct Sse2 {
  using D = __m128d;
  static constexpr int kLanes = 2;
  static D Set(double v) { return _mm_set1_pd(v); }
  static D Add(D a, D b) { return _mm_add_pd(a, b); }
  static D Sub(D a, D b) { return _mm_sub_pd(a, b); }
  static D Mul(D a, D b) { return _mm_mul_pd(a, b); }
  static D Widen(const float* p) {
    return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))));
  }
  static D Load(const double* p) { return _mm_loadu_pd(p); }
  static void Store(double* p, D v) { _mm_storeu_pd(p, v); }
  static D Round(D v) { return _mm_cvtps_pd(_mm_cvtpd_ps(v)); }
  static void NarrowPairs(float* p, D even, D odd) {
    _mm_storeu_ps(p, _mm_unpacklo_ps(_mm_cvtpd_ps(even), _mm_cvtpd_ps(odd)));
  }
  static void NarrowSplit(float* e, float* o, D even, D odd) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(e), _mm_castps_si128(_mm_cvtpd_ps(even)));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_castps_si128(_mm_cvtpd_ps(odd)));
  }
  using I = __m128i;
  static I Set16(short v) { return _mm_set1_epi16(v); }
  static I Set32(int v) { return _mm_set1_epi32(v); }
  static I Add16(I a, I b) { return _mm_add_epi16(a, b); }
  static I Srai16(I a, int n) { return _mm_srai_epi16(a, n); }
  static I Srai32(I a, int n) { return _mm_srai_epi32(a, n); }
  static I Mulhi16(I a, I b) { return _mm_mulhi_epi16(a, b); }
  static I Madd16(I a, I b) { return _mm_madd_epi16(a, b); }
  static I UnpackLo16(I a, I b) { return _mm_unpacklo_epi16(a, b); }
  static I UnpackHi16(I a, I b) { return _mm_unpackhi_epi16(a, b); }
  static I Packs32(I a, I b) { return _mm_packs_epi32(a, b); }
};

// Eight positions of a split row, four even ones and the odd ones between
// them, truncated toward zero and kept to their low 16 bits, in position
// order: each odd value's low half goes next to its even neighbour's.
__m128i EightValues(const float* even, const float* odd) {
  const __m128i e = _mm_cvttps_epi32(_mm_loadu_ps(even));
  const __m128i o = _mm_cvttps_epi32(_mm_loadu_ps(odd));
  return _mm_or_si128(_mm_and_si128(e, _mm_set1_epi32(0xFFFF)), _mm_slli_epi32(o, 16));
}

// Four pixels held as 32-bit B, G, R, 0 into their 12 bytes: the 24 bits of
// the upper pixel of each 64-bit half slide down next to the lower one, then
// the upper half's six bytes next to the lower half's.
__m128i TwelveBytes(__m128i pixels) {
  const __m128i low24 = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
  const __m128i next24 =
      _mm_set_epi32(0x0000FFFF, static_cast<int>(0xFF000000), 0x0000FFFF, static_cast<int>(0xFF000000));
  const __m128i pairs = _mm_or_si128(_mm_and_si128(pixels, low24), _mm_and_si128(_mm_srli_epi64(pixels, 8), next24));
  const __m128i firstSix = _mm_set_epi32(0, 0, 0x0000FFFF, static_cast<int>(0xFFFFFFFF));
  const __m128i nextSix = _mm_set_epi32(0, static_cast<int>(0xFFFFFFFF), static_cast<int>(0xFFFF0000), 0);
  return _mm_or_si128(_mm_and_si128(pairs, firstSix), _mm_and_si128(_mm_srli_si128(pairs, 2), nextSix));
}

void ConvertSplitRow(const float* y, const float* u, const float* v, int width, std::uint8_t* bgr) {
  const __m128i zero = _mm_setzero_si128();
  const int half = width / 2;
  // Eight positions from even place k of each plane.
  auto colourAt = [=](int k) {
    return colour::ColourOf<Sse2>(EightValues(y + k, y + half + k), EightValues(u + k, u + half + k),
                                  EightValues(v + k, v + half + k));
  };
  for (int x = 0; x < width; x += 16) {
    const auto a = colourAt(x / 2), b = colourAt(x / 2 + 4);
    const __m128i blue = _mm_packus_epi16(a.blue, b.blue), green = _mm_packus_epi16(a.green, b.green),
                  red = _mm_packus_epi16(a.red, b.red);
    const __m128i bgLow = _mm_unpacklo_epi8(blue, green), bgHigh = _mm_unpackhi_epi8(blue, green);
    const __m128i rLow = _mm_unpacklo_epi8(red, zero), rHigh = _mm_unpackhi_epi8(red, zero);
    const __m128i quads[4] = {_mm_unpacklo_epi16(bgLow, rLow), _mm_unpackhi_epi16(bgLow, rLow),
                              _mm_unpacklo_epi16(bgHigh, rHigh), _mm_unpackhi_epi16(bgHigh, rHigh)};
    std::uint8_t* out = bgr + 3 * x;
    for (int q = 0; q < 4; ++q) {
      // 12 bytes each; a 16-byte store would run past the end of the row.
      const __m128i bytes = TwelveBytes(quads[q]);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 12 * q), bytes);
      const int last = _mm_cvtsi128_si32(_mm_srli_si128(bytes, 8));
      std::memcpy(out + 12 * q + 8, &last, 4);
    }
  }
}

const VideoKernels kKernels = {
    wavelet::Widen<Sse2>,  wavelet::ColumnPairLow<Sse2>, wavelet::ColumnPairFull<Sse2>,
    wavelet::RowLow<Sse2>, wavelet::RowFull<Sse2>,       wavelet::RowLowSplit<Sse2>,
    ConvertSplitRow,
};

}  // namespace

const VideoKernels& Sse2VideoKernels() { return kKernels; }

}  // namespace kestrel
