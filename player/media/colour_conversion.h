// Conversion of the Y, U, V coefficient planes into blue-green-red pixels.
#pragma once

#include <cstdint>

#include "colour_matrix.h"

namespace kestrel {

struct Bgr {
  std::uint8_t blue, green, red;
};

// Plane values are first truncated toward zero and kept to 16 bits (signed).
// The formulas use 32-bit arithmetic with a flooring shift; each result is kept
// to 16 bits (signed) and clamped to 0 .. 255.
inline std::uint8_t ClampWrapped16(std::int32_t value) {
  const auto wrapped = static_cast<std::int16_t>(value);  // low 16 bits, signed
  return static_cast<std::uint8_t>(wrapped < 0 ? 0 : wrapped > 255 ? 255 : wrapped);
}

inline Bgr BgrFromYuv(std::int16_t y, std::int16_t u, std::int16_t v) {
  const std::int32_t Y = y, U = u, V = v;
  // >> on a negative int is an arithmetic shift (defined since C++20): a floor division.
  using namespace colour;
  return Bgr{ClampWrapped16((kLumaWeight * Y + kBlueFromU * U) >> kShift),
             ClampWrapped16((kLumaWeight * Y - kGreenFromU * U - kGreenFromV * V) >> kShift),
             ClampWrapped16((kLumaWeight * Y + kRedFromV * V) >> kShift)};
}

// Synthesised values stay far inside the 32-bit range (16-bit inputs, a gain
// of a few hundred), so the truncating conversion to int32 is defined.
inline std::int16_t PlaneValueToInteger(float value) {
  return static_cast<std::int16_t>(static_cast<std::int32_t>(value));
}

// Converts 320 x 240 positions, row 0 first, into 230400 bytes B, G, R.
void ConvertPlanesToBgr(const float* y, const float* u, const float* v, std::uint8_t* picture);

}  // namespace kestrel
