// Reading a YUV4MPEG2 stream front to back (8-bit 4:2:0, 4:2:2, 4:4:4 and
// mono) as R, G, B pictures, from any byte source: a file, a pipe, memory.
// Memory grows only with the bytes read, whatever the header announces, and
// what a message cannot use is refused with one line: pictures larger than
// 8192 x 8192, frame rates outside one a minute to 1000 a second, samples of
// more than 8 bits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_source.h"

namespace kestrel::tool {

inline constexpr int kLargestY4mSide = 8192;
inline constexpr double kSlowestY4mRate = 1.0 / 60.0;
inline constexpr double kFastestY4mRate = 1000.0;

class Y4mReader {
 public:
  explicit Y4mReader(ByteSource& source) : source_(source) {}

  // Reads and checks the stream header; false with the reason.
  bool ReadHeader(std::string* why);
  int Width() const { return width_; }
  int Height() const { return height_; }
  double FrameRate() const { return rate_; }

  enum class Frame { Read, End, Damaged };
  // The next frame: as upright R, G, B (BT.601 studio range) into `rgb`, or
  // passed over when `rgb` is null. Damaged with the reason.
  Frame Next(std::vector<std::uint8_t>* rgb, std::string* why);
  // The planes of the frame Next read last, as the stream holds them.
  const std::vector<std::uint8_t>& Planes() const { return planes_; }
  // A frame's planes as upright R, G, B. It reads only what the header set,
  // so it may run on another thread while Next reads on.
  void ToRgb(const std::uint8_t* planes, std::vector<std::uint8_t>& rgb) const;

 private:
  // One line up to '\n' (not kept), at most `limit` bytes; false if longer or cut short.
  bool ReadLine(std::string& line, std::size_t limit, bool& nothing);
  // A whole frame's planes into planes_; false if the stream ends first.
  bool ReadPlanes();

  ByteSource& source_;
  int width_ = 0, height_ = 0;
  double rate_ = 25.0;
  int chromaShiftX_ = 1, chromaShiftY_ = 1;
  bool mono_ = false;
  std::size_t frameBytes_ = 0;
  long long frames_ = 0;
  std::vector<std::uint8_t> planes_;
};

}  // namespace kestrel::tool
