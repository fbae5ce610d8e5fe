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
  static constexpr int kLastWidth = 3 * 160 + 2 * kGap;  // Y, U, V at 160 x 120
  static constexpr int kMaxFullWidth = 80;             // the widest half with a coded high-pass part
  static constexpr int kRowPad = 2;                    // mirrored places before and after a row input

  float yBase[30 * 40], uvBase[15 * (2 * 20 + kGap)];
  float y3Horizontal[30 * 40], y3Vertical[30 * 40], y3Diagonal[30 * 40];
  float y2Horizontal[60 * 80], y2Vertical[60 * 80];
  float y80[60 * 80];
  float uv40[30 * (2 * 40 + kGap)], uv80[60 * (2 * 80 + kGap)];
  float last[120 * kLastWidth];

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
  float rows[2][3 * 320];  // the last level's two output rows, Y U V, each split
};

// Reconstructs the picture of parsed `symbols` at `quality` into `picture`
// (230400 bytes), byte for byte what the plain formulas give.
void ReconstructPicture(const VideoSymbols& symbols, int quality, const VideoKernels& kernels,
                        FastReconstructionBuffers& buffers, std::uint8_t* picture);

}  // namespace kestrel
