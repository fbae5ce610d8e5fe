// Conversions of decoded pictures for the picture file writers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::tool {

// A decoded picture (B, G, R, first row the bottom line) as upright R, G, B
// rows. The step is its own inverse: given upright R, G, B it lays out a
// decoded picture.
std::vector<std::uint8_t> UprightRgb(const std::uint8_t* bgrBottomUp, int width, int height);

// "frame-00001.png" for index 1.
std::string NumberedFileName(const std::string& stem, int index, const std::string& extension);

}  // namespace kestrel::tool
