#include "colour_conversion.h"

#include <algorithm>

#include "message_format.h"

namespace kestrel {

namespace {

inline std::uint8_t Clamp16ToByte(std::int32_t value) {
  const auto wrapped = static_cast<std::int16_t>(value);  // low 16 bits, signed
  return static_cast<std::uint8_t>(std::clamp<int>(wrapped, 0, 255));
}

}  // namespace

std::int16_t PlaneValueToInteger(float value) {
  // Synthesised values stay far inside the 32-bit range (16-bit inputs, gain
  // of a few hundred), so the conversion to int32 is defined.
  return static_cast<std::int16_t>(static_cast<std::int32_t>(value));
}

Bgr BgrFromYuv(std::int16_t y, std::int16_t u, std::int16_t v) {
  const std::int32_t Y = y, U = u, V = v;
  // >> on a negative int is an arithmetic shift (defined since C++20): a floor division.
  return Bgr{Clamp16ToByte((128 * Y + 260 * U) >> 7), Clamp16ToByte((128 * Y - 51 * U - 74 * V) >> 7),
             Clamp16ToByte((128 * Y + 146 * V) >> 7)};
}

void ConvertPlanesToBgr(const float* y, const float* u, const float* v, std::uint8_t* picture) {
  constexpr int kPositions = kPictureWidth * kPictureHeight;
  for (int i = 0; i < kPositions; ++i) {
    const Bgr pixel = BgrFromYuv(PlaneValueToInteger(y[i]), PlaneValueToInteger(u[i]), PlaneValueToInteger(v[i]));
    picture[3 * i] = pixel.blue;
    picture[3 * i + 1] = pixel.green;
    picture[3 * i + 2] = pixel.red;
  }
}

}  // namespace kestrel
