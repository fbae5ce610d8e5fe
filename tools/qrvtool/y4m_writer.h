// Writing pictures as a YUV4MPEG2 stream (4:2:0, BT.601 studio range).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kestrel::tool {

class Y4mWriter {
 public:
  Y4mWriter() = default;
  ~Y4mWriter();
  Y4mWriter(const Y4mWriter&) = delete;
  Y4mWriter& operator=(const Y4mWriter&) = delete;

  bool Open(const std::string& path, int width, int height, int framesPerSecond, std::string* error);
  // One upright R, G, B picture of the opened size.
  bool WriteFrame(const std::uint8_t* rgb);
  bool Close(std::string* error);

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  int width_ = 0, height_ = 0;
  bool failed_ = false;
  std::vector<std::uint8_t> planes_;
};

// The studio-range BT.601 Y, Cb, Cr of one R, G, B pixel.
void RgbToYcbcr(int r, int g, int b, std::uint8_t& y, std::uint8_t& cb, std::uint8_t& cr);

}  // namespace kestrel::tool
