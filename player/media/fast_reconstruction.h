// The fast form of picture reconstruction: only the bands the format codes,
// in compact buffers, through one instruction set's kernels.
#pragma once

#include <cstdint>

#include "video_kernels.h"
#include "video_symbols.h"

namespace kestrel {

// Every band the format codes and every level image, row by row without
// gaps (a level image of width w has stride w), and the rows of doubles the
// filters work on. Nothing else: the bands that are never coded are known to
// be zero and are never read.
struct FastReconstructionBuffers {
  static constexpr int kMaxHalf = 160;
  static constexpr int kRowPad = 2;  // mirrored places at each end of a row pass input

  float yBase[30 * 40], uBase[15 * 20], vBase[15 * 20];
  float y3Horizontal[30 * 40], y3Vertical[30 * 40], y3Diagonal[30 * 40];
  float y2Horizontal[60 * 80], y2Vertical[60 * 80];
  float y80[60 * 80], y160[120 * 160];
  float u40[30 * 40], u80[60 * 80], u160[120 * 160];
  float v40[30 * 40], v80[60 * 80], v160[120 * 160];

  // Widened input rows of a column pass: the low-pass rows k-1 .. k+2 and
  // high-pass rows k-2 .. k+2 of one half (or, at the last level, one plane).
  struct WideRows {
    double low[4][kMaxHalf];
    double high[8][kMaxHalf];
  };
  WideRows wide[3];
  // The column pass's output rows 2k and 2k+1 as the row pass takes them.
  double rowInput[6][kMaxHalf + 2 * kRowPad];
  float rows[6][2 * kMaxHalf];  // the last level's two output rows of each plane, split
};

// Reconstructs the picture of parsed `symbols` at `quality` into `picture`
// (230400 bytes), byte for byte what the plain formulas give.
void ReconstructPicture(const VideoSymbols& symbols, int quality, const VideoKernels& kernels,
                        FastReconstructionBuffers& buffers, std::uint8_t* picture);

}  // namespace kestrel
