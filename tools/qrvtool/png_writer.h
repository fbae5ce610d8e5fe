// Writing 8-bit RGB pictures as PNG with libpng.
#pragma once

#include <cstdint>
#include <cstdio>

namespace kestrel::tool {

// `rgb` holds `height` upright rows of `width` R, G, B pixels. False when
// libpng or the stream failed; errno then holds the system's reason, if any.
bool WritePng(std::FILE* stream, const std::uint8_t* rgb, int width, int height);

}  // namespace kestrel::tool
