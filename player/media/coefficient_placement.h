// Dequantised coefficients from the symbol buffer into their bands.
#pragma once

#include <array>
#include <cstdint>

#include "video_symbols.h"

namespace kestrel {

// A base band of `width` x `height` from its run of differences: each row
// starts from the first value of the row above, every other value from its
// left neighbour; sums and products keep their low 16 bits.
void PlaceBaseBand(const std::int16_t* differences, int width, int height, std::int16_t step, float* out, int stride);
void PlaceBaseBands(const VideoSymbols& symbols, int quality, float* const out[3], const int stride[3]);

// Where each luma detail band (LumaDetailBand, video_layout.h) goes: its top
// left value and its row stride.
struct BandTarget {
  float* origin;
  int stride;
};
using LumaDetailTargets = std::array<BandTarget, kLumaDetailBandCount>;
// Writes every block: the coded ones from the detail runs, zeros for the
// skipped ones.
void PlaceLumaDetail(const VideoSymbols& symbols, int quality, const LumaDetailTargets& bands);

}  // namespace kestrel
