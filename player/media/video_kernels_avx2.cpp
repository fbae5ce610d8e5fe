// The fast form's kernels for processors with AVX2. Compiled with -mavx2 and
// without fused multiply-add, which would round a product and a sum once
// where the formulas round twice.
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "video_kernels_impl.h"
#include "video_kernels_isa.h"

namespace kestrel {

namespace {

struct Avx2 {
  using D = __m256d;
  static constexpr int kLanes = 4;
  static D Set(double v) { return _mm256_set1_pd(v); }
  static D Add(D a, D b) { return _mm256_add_pd(a, b); }
  static D Sub(D a, D b) { return _mm256_sub_pd(a, b); }
  static D Mul(D a, D b) { return _mm256_mul_pd(a, b); }
  static D Widen(const float* p) { return _mm256_cvtps_pd(_mm_loadu_ps(p)); }
  static D Load(const double* p) { return _mm256_loadu_pd(p); }
  static void Store(double* p, D v) { _mm256_storeu_pd(p, v); }
  static D Round(D v) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(v)); }
  static void NarrowPairs(float* p, D even, D odd) {
    const __m128 e = _mm256_cvtpd_ps(even), o = _mm256_cvtpd_ps(odd);
    _mm_storeu_ps(p, _mm_unpacklo_ps(e, o));
    _mm_storeu_ps(p + 4, _mm_unpackhi_ps(e, o));
  }
  static void NarrowSplit(float* e, float* o, D even, D odd) {
    _mm_storeu_ps(e, _mm256_cvtpd_ps(even));
    _mm_storeu_ps(o, _mm256_cvtpd_ps(odd));
  }
  using I = __m256i;
  static I Set16(short v) { return _mm256_set1_epi16(v); }
  static I Set32(int v) { return _mm256_set1_epi32(v); }
  static I Add16(I a, I b) { return _mm256_add_epi16(a, b); }
  static I Srai16(I a, int n) { return _mm256_srai_epi16(a, n); }
  static I Srai32(I a, int n) { return _mm256_srai_epi32(a, n); }
  static I Mulhi16(I a, I b) { return _mm256_mulhi_epi16(a, b); }
  static I Madd16(I a, I b) { return _mm256_madd_epi16(a, b); }
  static I UnpackLo16(I a, I b) { return _mm256_unpacklo_epi16(a, b); }
  static I UnpackHi16(I a, I b) { return _mm256_unpackhi_epi16(a, b); }
  static I Packs32(I a, I b) { return _mm256_packs_epi32(a, b); }
};

// Sixteen positions of a split row, eight even ones from `even` and the odd
// ones between them from `odd`, truncated toward zero and kept to their low
// 16 bits. The blend puts each odd value's low half next to its even
// neighbour's, so they come out in position order.
__m256i SixteenValues(const float* even, const float* odd) {
  const __m256i e = _mm256_cvttps_epi32(_mm256_loadu_ps(even));
  const __m256i o = _mm256_cvttps_epi32(_mm256_loadu_ps(odd));
  return _mm256_blend_epi16(e, _mm256_slli_epi32(o, 16), 0xAA);
}

// Two groups of sixteen 16-bit results clamped to 0 .. 255 (the unsigned pack
// saturates exactly so), as 32 bytes in order.
__m256i ClampedBytes(__m256i first, __m256i second) {
  return _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
}

// Byte masks that take, for each 16-byte third of the 48 output bytes of 16
// pixels, the bytes of one channel (0x80 leaves a zero).
struct InterleaveMasks {
  __m256i of[3][3];  // [third][channel]
  InterleaveMasks() {
    for (int third = 0; third < 3; ++third) {
      for (int channel = 0; channel < 3; ++channel) {
        alignas(32) std::uint8_t bytes[32];
        for (int j = 0; j < 16; ++j) {
          const int n = 16 * third + j;
          bytes[j] = bytes[j + 16] = n % 3 == channel ? static_cast<std::uint8_t>(n / 3) : 0x80;
        }
        of[third][channel] = _mm256_load_si256(reinterpret_cast<const __m256i*>(bytes));
      }
    }
  }
};

void ConvertSplitRow(const float* y, const float* u, const float* v, int width, std::uint8_t* bgr) {
  static const InterleaveMasks masks;
  const int half = width / 2;
  // Sixteen positions from even place k of each plane.
  auto colourAt = [=](int k) {
    return colour::ColourOf<Avx2>(SixteenValues(y + k, y + half + k), SixteenValues(u + k, u + half + k),
                                  SixteenValues(v + k, v + half + k));
  };
  for (int x = 0; x < width; x += 32) {
    const auto first = colourAt(x / 2), second = colourAt(x / 2 + 8);
    const __m256i channel[3] = {ClampedBytes(first.blue, second.blue), ClampedBytes(first.green, second.green),
                                ClampedBytes(first.red, second.red)};
    // Each 128-bit half interleaves its own 16 pixels: thirds of bytes 0-47
    // in the low halves, of bytes 48-95 in the high halves.
    __m256i third[3];
    for (int t = 0; t < 3; ++t)
      third[t] = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(channel[0], masks.of[t][0]),
                                                 _mm256_shuffle_epi8(channel[1], masks.of[t][1])),
                                 _mm256_shuffle_epi8(channel[2], masks.of[t][2]));
    std::uint8_t* out = bgr + 3 * x;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute2x128_si256(third[0], third[1], 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32), _mm256_permute2x128_si256(third[2], third[0], 0x30));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 64), _mm256_permute2x128_si256(third[1], third[2], 0x31));
  }
}

const VideoKernels kKernels = {
    wavelet::Widen<Avx2>,  wavelet::ColumnPairLow<Avx2>, wavelet::ColumnPairFull<Avx2>,
    wavelet::RowLow<Avx2>, wavelet::RowFull<Avx2>,       wavelet::RowLowSplit<Avx2>,
    ConvertSplitRow,
};

}  // namespace

const VideoKernels& Avx2VideoKernels() { return kKernels; }

}  // namespace kestrel
