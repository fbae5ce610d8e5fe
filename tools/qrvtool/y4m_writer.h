// Writing pictures as a YUV4MPEG2 stream (4:2:0, BT.601 studio range).
#pragma once

#include <cstdint>
#include <vector>

#include "output_file.h"

namespace kestrel::tool {

class Y4mWriter {
 public:
  // Writes the stream header; failures are noted on the output.
  bool Open(OutputFile& output, int width, int height, int framesPerSecond);
  // One upright R, G, B picture of the opened size.
  bool WriteFrame(const std::uint8_t* rgb);
  // A frame as FramePlanes made it.
  bool WritePlanes(const std::vector<std::uint8_t>& planes);
  // The Y, Cb, Cr planes of one upright R, G, B picture: the work of a
  // frame, which may be done on any thread.
  static void FramePlanes(const std::uint8_t* rgb, int width, int height, std::vector<std::uint8_t>& planes);

 private:
  OutputFile* output_ = nullptr;
  int width_ = 0, height_ = 0;
  std::vector<std::uint8_t> planes_;
};

// The studio-range BT.601 Y, Cb, Cr of one R, G, B pixel.
void RgbToYcbcr(int r, int g, int b, std::uint8_t& y, std::uint8_t& cb, std::uint8_t& cr);

}  // namespace kestrel::tool
