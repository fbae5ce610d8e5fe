// Reading YUV4MPEG2 streams (4:2:0, 4:2:2, 4:4:4 and mono, 8-bit) as R, G, B.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kestrel::tool {

class Y4mReader {
 public:
  Y4mReader() = default;
  ~Y4mReader();
  Y4mReader(const Y4mReader&) = delete;
  Y4mReader& operator=(const Y4mReader&) = delete;

  bool Open(const std::string& path, std::string* error);
  int Width() const { return width_; }
  int Height() const { return height_; }
  double FrameRate() const { return rate_; }
  // Frames in the file, counted from its size (frames carry no parameters).
  int FrameCount() const { return frames_; }
  // Upright R, G, B of frame `index` (BT.601 studio range).
  bool ReadFrame(int index, std::vector<std::uint8_t>& rgb, std::string* error);

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  int width_ = 0, height_ = 0, frames_ = 0;
  double rate_ = 25.0;
  int chromaShiftX_ = 1, chromaShiftY_ = 1;
  bool mono_ = false;
  long dataStart_ = 0;
  std::size_t frameBytes_ = 0;
  std::vector<std::uint8_t> planes_;
};

}  // namespace kestrel::tool
