#include "png_writer.h"

#include <png.h>

#include <cerrno>

namespace kestrel::tool {

bool WritePng(std::FILE* stream, const std::uint8_t* rgb, int width, int height) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = png && info;
  if (ok && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, stream);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, rgb + static_cast<std::size_t>(y) * width * 3);
    png_write_end(png, info);
  } else {
    ok = false;
  }
  const int error = errno;
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  errno = error;
  return ok && std::ferror(stream) == 0;
}

}  // namespace kestrel::tool
