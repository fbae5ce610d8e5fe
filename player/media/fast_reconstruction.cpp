#include "fast_reconstruction.h"

#include "coefficient_placement.h"
#include "message_format.h"

namespace kestrel {

namespace {

// Rows of a half mirrored about its end samples, as the interleaved line is:
// low-pass L[-1] = L[1], L[h] = L[h-1], L[h+1] = L[h-2]; high-pass
// H[-2] = H[1], H[-1] = H[0], H[h] = H[h-2], H[h+1] = H[h-3].
inline int MirrorLow(int i, int h) { return i < 0 ? -i : i >= h ? 2 * h - 1 - i : i; }
inline int MirrorHigh(int i, int h) { return i < 0 ? -i - 1 : i >= h ? 2 * h - 2 - i : i; }

using Buffers = FastReconstructionBuffers;

// The columns of one half of a level: their low-pass rows and, when coded,
// their high-pass rows, both at `stride`. Without low-pass rows the whole
// half is zero.
struct ColumnHalf {
  const float* low = nullptr;
  const float* high = nullptr;
  int stride = 0;
};

// The column pass of one half, a row pair at a time. Output rows 2k and 2k+1
// need low-pass rows k-1 .. k+2 and high-pass rows k-2 .. k+2 (mirrored rows
// among them), so row r is kept widened in slot r mod 4 (or 8) from its first
// use to its last.
class ColumnPass {
 public:
  ColumnPass(const VideoKernels& kernels, const ColumnHalf& half, int width, int h, Buffers::WideRows& wide)
      : kernels_(kernels), half_(half), width_(width), h_(h), wide_(wide) {}

  void Pair(int k, double* even, double* odd) {
    const double* low[4];
    for (int i = 0; i < 4; ++i) low[i] = Widened(half_.low, MirrorLow(k - 1 + i, h_), wide_.low, lowTag_);
    if (!half_.high) {
      kernels_.columnPairLow(low, width_, even, odd);
      return;
    }
    const double* high[5];
    for (int i = 0; i < 5; ++i) high[i] = Widened(half_.high, MirrorHigh(k - 2 + i, h_), wide_.high, highTag_);
    kernels_.columnPairFull(low, high, width_, even, odd);
  }

 private:
  template <int kSlots>
  const double* Widened(const float* rows, int r, double (&slots)[kSlots][Buffers::kMaxHalf], int (&tag)[kSlots]) {
    static_assert((kSlots & (kSlots - 1)) == 0);
    const int slot = r & (kSlots - 1);
    if (tag[slot] != r) {
      kernels_.widen(rows + r * half_.stride, width_, slots[slot]);
      tag[slot] = r;
    }
    return slots[slot];
  }

  const VideoKernels& kernels_;
  ColumnHalf half_;
  int width_, h_;
  Buffers::WideRows& wide_;
  int lowTag_[4] = {-1, -1, -1, -1};
  int highTag_[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
};

// One level of 2w x 2h into `out` (stride 2w), a row pair at a time: the
// columns of each half, then the two rows. When the right half is zero its
// columns are zero, so every row's high-pass half is zero and is not formed.
void SynthesizeLevel(const VideoKernels& kernels, const ColumnHalf& left, const ColumnHalf& right, int w, int h,
                     float* out, Buffers& b) {
  ColumnPass leftPass(kernels, left, w, h, b.wide[0]);
  ColumnPass rightPass(kernels, right, w, h, b.wide[1]);
  double* evenLow = b.rowInput[0] + Buffers::kRowPad;
  double* oddLow = b.rowInput[1] + Buffers::kRowPad;
  double* evenHigh = b.rowInput[2] + Buffers::kRowPad;
  double* oddHigh = b.rowInput[3] + Buffers::kRowPad;
  for (int k = 0; k < h; ++k) {
    float* even = out + 2 * k * 2 * w;
    float* odd = even + 2 * w;
    leftPass.Pair(k, evenLow, oddLow);
    if (right.low) {
      rightPass.Pair(k, evenHigh, oddHigh);
      kernels.rowFull(evenLow, evenHigh, w, even);
      kernels.rowFull(oddLow, oddHigh, w, odd);
    } else {
      kernels.rowLow(evenLow, w, even);
      kernels.rowLow(oddLow, w, odd);
    }
  }
}

// A chroma plane from its 20 x 15 base band up to 160 x 120; nothing but the
// base band is ever coded.
void SynthesizeChroma(const VideoKernels& kernels, const float* base, float* level40, float* level80,
                      float* level160, Buffers& b) {
  SynthesizeLevel(kernels, {base, nullptr, 20}, {}, 20, 15, level40, b);
  SynthesizeLevel(kernels, {level40, nullptr, 40}, {}, 40, 30, level80, b);
  SynthesizeLevel(kernels, {level80, nullptr, 80}, {}, 80, 60, level160, b);
}

}  // namespace

void ReconstructPicture(const VideoSymbols& symbols, int quality, const VideoKernels& kernels,
                        FastReconstructionBuffers& b, std::uint8_t* picture) {
  float* const bases[3] = {b.yBase, b.uBase, b.vBase};
  const int baseStrides[3] = {40, 20, 20};
  PlaceBaseBands(symbols, quality, bases, baseStrides);
  PlaceLumaDetail(symbols, quality, {b.y3Horizontal, b.y3Vertical, b.y3Diagonal, 40, b.y2Horizontal, b.y2Vertical, 80});

  // Luma: levels 80 x 60 and 160 x 120 carry coded detail; the level-2
  // diagonal band is never coded.
  SynthesizeLevel(kernels, {b.yBase, b.y3Vertical, 40}, {b.y3Horizontal, b.y3Diagonal, 40}, 40, 30, b.y80, b);
  SynthesizeLevel(kernels, {b.y80, b.y2Vertical, 80}, {b.y2Horizontal, nullptr, 80}, 80, 60, b.y160, b);
  SynthesizeChroma(kernels, b.uBase, b.u40, b.u80, b.u160, b);
  SynthesizeChroma(kernels, b.vBase, b.v40, b.v80, b.v160, b);

  // The 320 x 240 level has no coded detail in any plane. It runs two rows at
  // a time for all three planes and converts them to pixels while they are
  // still in the cache, so the full-size planes never exist.
  constexpr int w = kPictureWidth / 2, h = kPictureHeight / 2;
  static_assert(kPictureWidth % 32 == 0, "the colour kernels take 32 positions at a time");
  static_assert(w <= Buffers::kMaxHalf);
  ColumnPass planes[3] = {{kernels, {b.y160, nullptr, w}, w, h, b.wide[0]},
                          {kernels, {b.u160, nullptr, w}, w, h, b.wide[1]},
                          {kernels, {b.v160, nullptr, w}, w, h, b.wide[2]}};
  for (int k = 0; k < h; ++k) {
    for (int p = 0; p < 3; ++p) {
      double* even = b.rowInput[2 * p] + Buffers::kRowPad;
      double* odd = b.rowInput[2 * p + 1] + Buffers::kRowPad;
      planes[p].Pair(k, even, odd);
      kernels.rowLowSplit(even, w, b.rows[2 * p]);
      kernels.rowLowSplit(odd, w, b.rows[2 * p + 1]);
    }
    std::uint8_t* row = picture + 2 * k * kPictureRowBytes;
    kernels.convertSplitRow(b.rows[0], b.rows[2], b.rows[4], kPictureWidth, row);
    kernels.convertSplitRow(b.rows[1], b.rows[3], b.rows[5], kPictureWidth, row + kPictureRowBytes);
  }
}

}  // namespace kestrel
