#include "colour_conversion.h"

#include "message_format.h"

namespace kestrel {

void ConvertPlanesToBgr(const float* y, const float* u, const float* v, std::uint8_t* picture) {
  for (int i = 0; i < kPictureWidth * kPictureHeight; ++i) {
    const Bgr bgr = BgrFromYuv(PlaneValueToInteger(y[i]), PlaneValueToInteger(u[i]), PlaneValueToInteger(v[i]));
    picture[3 * i] = bgr.blue;
    picture[3 * i + 1] = bgr.green;
    picture[3 * i + 2] = bgr.red;
  }
}

}  // namespace kestrel
