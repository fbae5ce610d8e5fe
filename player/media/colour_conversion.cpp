#include "colour_conversion.h"

#include "message_format.h"

namespace kestrel {

void ConvertPlanesToBgr(const float* y, const float* u, const float* v, std::uint8_t* picture) {
  // A row at a time in separate simple loops, which the compiler vectorises;
  // each value is what BgrFromYuv gives.
  constexpr int W = kPictureWidth;
  std::int16_t Y[W], U[W], V[W];
  std::uint8_t blue[W], green[W], red[W];
  for (int row = 0; row < kPictureHeight; ++row) {
    const int at = row * W;
    for (int x = 0; x < W; ++x) Y[x] = PlaneValueToInteger(y[at + x]);
    for (int x = 0; x < W; ++x) U[x] = PlaneValueToInteger(u[at + x]);
    for (int x = 0; x < W; ++x) V[x] = PlaneValueToInteger(v[at + x]);
    for (int x = 0; x < W; ++x) {
      const std::int32_t y32 = Y[x], u32 = U[x], v32 = V[x];
      blue[x] = ClampWrapped16((128 * y32 + 260 * u32) >> 7);
      green[x] = ClampWrapped16((128 * y32 - 51 * u32 - 74 * v32) >> 7);
      red[x] = ClampWrapped16((128 * y32 + 146 * v32) >> 7);
    }
    std::uint8_t* out = picture + 3 * at;
    for (int x = 0; x < W; ++x) {
      out[3 * x] = blue[x];
      out[3 * x + 1] = green[x];
      out[3 * x + 2] = red[x];
    }
  }
}

}  // namespace kestrel
