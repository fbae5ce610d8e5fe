#include "picture_files.h"

#include <cstdio>

namespace kestrel::tool {

std::vector<std::uint8_t> UprightRgb(const std::uint8_t* bgrBottomUp, int width, int height) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* source = bgrBottomUp + (height - 1 - y) * row;
    std::uint8_t* target = rgb.data() + y * row;
    for (int x = 0; x < width; ++x) {
      target[3 * x] = source[3 * x + 2];
      target[3 * x + 1] = source[3 * x + 1];
      target[3 * x + 2] = source[3 * x];
    }
  }
  return rgb;
}

std::string NumberedFileName(const std::string& stem, int index, const std::string& extension) {
  char number[16];
  std::snprintf(number, sizeof number, "%05d", index);
  return stem + "-" + number + extension;
}

}  // namespace kestrel::tool
