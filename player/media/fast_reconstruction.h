// The fast form of picture reconstruction: only the bands the format codes,
// in compact buffers, through one instruction set's kernels.
#pragma once

#include <cstdint>

#include "video_kernels.h"
#include "video_symbols.h"

namespace kestrel {

// Every band the format codes and every level image, and the rows of doubles
// the filters work on. Nothing else: the bands that are never coded are
// known to be zero and are never read.
//
// Planes that go through a level alike lie side by side in one strip, so that
// one column pass serves them all: U and V below 160 x 120, and Y, U and V at
// 160 x 120, the input of the last level. Plane p of a strip of planes w wide
// starts at column p (w + kGap); the gaps stay zero (the filters read them
// and nothing uses what comes out) and leave the row filters room for the
// mirrored ends of each plane.
struct FastReconstructionBuffers {
  static constexpr int kGap = kStripGap;
  // Luma sizes at the base, level 3 and level 2 (40 x 30, 80 x 60, 160 x 120).
  static constexpr int kW3 = kLumaBaseWidth, kH3 = kLumaBaseHeight;
  static constexpr int kW2 = 2 * kW3, kH2 = 2 * kH3, kW1 = 2 * kW2, kH1 = 2 * kH2;
  static constexpr int kLastWidth = 3 * kW1 + 2 * kGap;  // Y, U, V at 160 x 120
  static constexpr int kMaxFullWidth = kW2;              // the widest half with a coded high-pass part
  static constexpr int kRowPad = 2;                      // mirrored places before and after a row input

  float yBase[kH3 * kW3], uvBase[kChromaBaseHeight * (2 * kChromaBaseWidth + kGap)];
  float y3Horizontal[kH3 * kW3], y3Vertical[kH3 * kW3], y3Diagonal[kH3 * kW3];
  float y2Horizontal[kH2 * kW2], y2Vertical[kH2 * kW2];
  float y80[kH2 * kW2];
  float uv40[kH3 * (2 * kW3 + kGap)], uv80[kH2 * (2 * kW2 + kGap)];
  float last[kH1 * kLastWidth];

  // Widened input rows of a column pass: the low-pass rows k-1 .. k+2 and
  // high-pass rows k-2 .. k+2 of one half.
  struct WideRows {
    double low[4][kLastWidth];
    double high[8][kMaxFullWidth];
  };
  WideRows wide[2];
  // The column pass's output rows 2k and 2k+1, low-pass and high-pass parts,
  // as the row filters take them.
  double rowInput[4][kRowPad + kLastWidth + kRowPad];
  float rows[2][3 * kPictureWidth];  // the last level's two output rows, Y U V, each split
};

// Reconstructs the picture of parsed `symbols` at `quality` into `picture`
// (230400 bytes), byte for byte what the plain formulas give.
void ReconstructPicture(const VideoSymbols& symbols, int quality, const VideoKernels& kernels,
                        FastReconstructionBuffers& buffers, std::uint8_t* picture);

}  // namespace kestrel
