// Writing 8-bit RGB pictures as PNG files with libpng.
#pragma once

#include <cstdint>
#include <string>

namespace kestrel::tool {

// `rgb` holds `height` upright rows of `width` R, G, B pixels. On failure
// returns false with a reason in `error`; no partial file is left behind.
bool WritePng(const std::string& path, const std::uint8_t* rgb, int width, int height, std::string* error);

}  // namespace kestrel::tool
