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
  template <int kSlots, int kSize>
  const double* Widened(const float* rows, int r, double (&slots)[kSlots][kSize], int (&tag)[kSlots]) {
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

// The width of a strip of `planes` planes w wide.
constexpr int StripWidth(int planes, int w) { return planes * w + (planes - 1) * Buffers::kGap; }

// One level of 2w x 2h for a strip of `planes` planes into `out` (stride
// `outStride`), a row pair at a time: the columns of each half, then the
// rows of each plane. When the right half is zero its columns are zero, so
// every row's high-pass half is zero and is not formed. Only a single plane
// has a coded right half.
void SynthesizeLevel(const VideoKernels& kernels, const ColumnHalf& left, const ColumnHalf& right, int w, int h,
                     int planes, float* out, int outStride, Buffers& b) {
  ColumnPass leftPass(kernels, left, StripWidth(planes, w), h, b.wide[0]);
  ColumnPass rightPass(kernels, right, w, h, b.wide[1]);
  double* low[2] = {b.rowInput[0] + Buffers::kRowPad, b.rowInput[1] + Buffers::kRowPad};
  double* high[2] = {b.rowInput[2] + Buffers::kRowPad, b.rowInput[3] + Buffers::kRowPad};
  for (int k = 0; k < h; ++k) {
    leftPass.Pair(k, low[0], low[1]);
    if (right.low) rightPass.Pair(k, high[0], high[1]);
    for (int r = 0; r < 2; ++r) {
      float* row = out + (2 * k + r) * outStride;
      if (right.low)
        kernels.rowFull(low[r], high[r], w, row);
      else
        kernels.rowLow(low[r], w, planes, row);
    }
  }
}

}  // namespace

void ReconstructPicture(const VideoSymbols& symbols, int quality, const VideoKernels& kernels,
                        FastReconstructionBuffers& b, std::uint8_t* picture) {
  constexpr int kGap = Buffers::kGap;
  constexpr int kW3 = Buffers::kW3, kH3 = Buffers::kH3, kW2 = Buffers::kW2, kH2 = Buffers::kH2;
  constexpr int kCw = kChromaBaseWidth, kCh = kChromaBaseHeight;
  constexpr int kUvBase = StripWidth(2, kCw), kUv40 = StripWidth(2, kW3), kUv80 = StripWidth(2, kW2);
  float* const bases[3] = {b.yBase, b.uvBase, b.uvBase + kCw + kGap};
  const int baseStrides[3] = {kW3, kUvBase, kUvBase};
  PlaceBaseBands(symbols, quality, bases, baseStrides);
  LumaDetailTargets bands;
  bands[kLevel3Horizontal] = {b.y3Horizontal, kW3};
  bands[kLevel3Vertical] = {b.y3Vertical, kW3};
  bands[kLevel3Diagonal] = {b.y3Diagonal, kW3};
  bands[kLevel2Horizontal] = {b.y2Horizontal, kW2};
  bands[kLevel2Vertical] = {b.y2Vertical, kW2};
  PlaceLumaDetail(symbols, quality, bands);

  // Luma: levels 80 x 60 and 160 x 120 carry coded detail; the level-2
  // diagonal band is never coded.
  constexpr int kLast = Buffers::kLastWidth;
  SynthesizeLevel(kernels, {b.yBase, b.y3Vertical, kW3}, {b.y3Horizontal, b.y3Diagonal, kW3}, kW3, kH3, 1, b.y80, kW2,
                  b);
  SynthesizeLevel(kernels, {b.y80, b.y2Vertical, kW2}, {b.y2Horizontal, nullptr, kW2}, kW2, kH2, 1, b.last, kLast, b);
  // Chroma: nothing but the base bands is ever coded.
  SynthesizeLevel(kernels, {b.uvBase, nullptr, kUvBase}, {}, kCw, kCh, 2, b.uv40, kUv40, b);
  SynthesizeLevel(kernels, {b.uv40, nullptr, kUv40}, {}, kW3, kH3, 2, b.uv80, kUv80, b);
  SynthesizeLevel(kernels, {b.uv80, nullptr, kUv80}, {}, kW2, kH2, 2, b.last + Buffers::kW1 + kGap, kLast, b);

  // The 320 x 240 level has no coded detail in any plane. It runs two rows at
  // a time and converts them to pixels while they are still in the cache, so
  // the full-size planes never exist.
  constexpr int w = kPictureWidth / 2, h = kPictureHeight / 2;
  static_assert(kPictureWidth % 32 == 0, "the colour kernels take 32 positions at a time");
  static_assert(StripWidth(3, w) == kLast);
  ColumnPass columns(kernels, {b.last, nullptr, kLast}, kLast, h, b.wide[0]);
  double* low[2] = {b.rowInput[0] + Buffers::kRowPad, b.rowInput[1] + Buffers::kRowPad};
  for (int k = 0; k < h; ++k) {
    columns.Pair(k, low[0], low[1]);
    for (int r = 0; r < 2; ++r) {
      float* row = b.rows[r];
      kernels.rowLowSplit(low[r], w, 3, row);
      kernels.convertSplitRow(row, row + 2 * w, row + 4 * w, kPictureWidth, picture + (2 * k + r) * kPictureRowBytes);
    }
  }
}

}  // namespace kestrel
