// Dequantised coefficients from the symbol buffer into their bands.
#pragma once

#include <cstdint>

#include "video_symbols.h"

namespace kestrel {

// A base band of `width` x `height` from its run of differences: each row
// starts from the first value of the row above, every other value from its
// left neighbour; sums and products keep their low 16 bits.
void PlaceBaseBand(const std::int16_t* differences, int width, int height, std::int16_t step, float* out, int stride);
void PlaceBaseBands(const VideoSymbols& symbols, int quality, float* const out[3], const int stride[3]);

// Where the luma detail bands go: the level-3 horizontal, vertical and
// diagonal bands (40 x 30) at `stride3`, the level-2 horizontal and vertical
// bands (80 x 60) at `stride2`.
struct LumaDetailBands {
  float* level3Horizontal;
  float* level3Vertical;
  float* level3Diagonal;
  int stride3;
  float* level2Horizontal;
  float* level2Vertical;
  int stride2;
};
// Writes every block: the coded ones from the detail runs, zeros for the
// skipped ones.
void PlaceLumaDetail(const VideoSymbols& symbols, int quality, const LumaDetailBands& bands);

}  // namespace kestrel
