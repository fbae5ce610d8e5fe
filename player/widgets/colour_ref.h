// Colours are kept as 0x00BBGGRR values (red in the low byte), as the
// controls' settings are given; painting needs them as QRgb.
#pragma once

#include <cstdint>

#include <QRgb>

namespace kestrel {

using ColorRef = std::uint32_t;

constexpr ColorRef Rgb(int r, int g, int b) {
  return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

constexpr QRgb ToQRgb(ColorRef colour) {
  return qRgb(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
              static_cast<int>((colour >> 16) & 0xFF));
}

constexpr ColorRef FromQRgb(QRgb rgb) { return Rgb(qRed(rgb), qGreen(rgb), qBlue(rgb)); }

}  // namespace kestrel
