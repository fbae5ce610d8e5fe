// Conversion of the Y, U, V coefficient planes into blue-green-red pixels.
#pragma once

#include <cstdint>

namespace kestrel {

struct Bgr {
  std::uint8_t blue, green, red;
};

// Plane values are first truncated toward zero and kept to 16 bits (signed).
// The formulas use 32-bit arithmetic with a flooring shift; each result is kept
// to 16 bits (signed) and clamped to 0 .. 255.
Bgr BgrFromYuv(std::int16_t y, std::int16_t u, std::int16_t v);
std::int16_t PlaneValueToInteger(float value);

// Converts 320 x 240 positions, row 0 first, into 230400 bytes B, G, R.
void ConvertPlanesToBgr(const float* y, const float* u, const float* v, std::uint8_t* picture);

}  // namespace kestrel
