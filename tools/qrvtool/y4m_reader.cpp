#include "y4m_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

namespace kestrel::tool {

namespace {

constexpr std::size_t kLongestLine = 4096;
// What the first frame's planes start at before its bytes arrive.
constexpr std::size_t kFirstReadBytes = std::size_t{1} << 20;

// A whole positive decimal number of at most nine digits.
bool PositiveNumber(const std::string& text, long long& value) {
  if (text.empty() || text.size() > 9 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  value = std::stoll(text);
  return value > 0;
}

bool IsDeeperThan8Bits(const std::string& colour) {
  return colour.find('p') != std::string::npos || colour == "444alpha" ||
         (colour.rfind("mono", 0) == 0 && colour.size() > 4);
}

}  // namespace

std::size_t MemoryByteSource::Read(void* into, std::size_t size) {
  const std::size_t n = std::min(size, size_ - position_);
  if (n) std::memcpy(into, data_ + position_, n);
  position_ += n;
  return n;
}

bool Y4mReader::ReadLine(std::string& line, std::size_t limit, bool& nothing) {
  line.clear();
  nothing = true;
  for (char c; source_.Read(&c, 1) == 1;) {
    nothing = false;
    if (c == '\n') return true;
    if (line.size() == limit) return false;
    line += c;
  }
  return false;
}

bool Y4mReader::ReadHeader(std::string* why) {
  auto fail = [&](const std::string& text) {
    if (why) *why = text;
    return false;
  };
  std::string header;
  bool nothing = false;
  if (!ReadLine(header, kLongestLine, nothing) || header.rfind("YUV4MPEG2 ", 0) != 0)
    return fail(source_.Failed() ? "read error" : "not a YUV4MPEG2 stream");
  std::istringstream fields(header.substr(10));
  std::string colour = "420jpeg";
  long long width = 0, height = 0;
  for (std::string word; fields >> word;) {
    const std::string value = word.substr(1);
    switch (word[0]) {
      case 'W':
        if (!PositiveNumber(value, width)) return fail("bad picture width " + word);
        break;
      case 'H':
        if (!PositiveNumber(value, height)) return fail("bad picture height " + word);
        break;
      case 'C':
        colour = value;
        break;
      case 'F': {
        const std::size_t colon = value.find(':');
        long long num = 0, den = 0;
        if (colon == std::string::npos || !PositiveNumber(value.substr(0, colon), num) ||
            !PositiveNumber(value.substr(colon + 1), den))
          return fail("bad frame rate " + word);
        rate_ = static_cast<double>(num) / static_cast<double>(den);
        if (rate_ < kSlowestY4mRate || rate_ > kFastestY4mRate)
          return fail("frame rate " + value + " is outside one a minute to 1000 a second");
        break;
      }
      default:
        break;  // interlacing, aspect, comments: not needed
    }
  }
  if (width == 0 || height == 0) return fail("no picture size in the header");
  if (width > kLargestY4mSide || height > kLargestY4mSide)
    return fail("pictures of " + std::to_string(width) + " x " + std::to_string(height) + " are larger than " +
                std::to_string(kLargestY4mSide) + " x " + std::to_string(kLargestY4mSide));
  width_ = static_cast<int>(width);
  height_ = static_cast<int>(height);
  if (colour == "420jpeg" || colour == "420paldv" || colour == "420mpeg2" || colour == "420") {
    chromaShiftX_ = chromaShiftY_ = 1;
  } else if (colour == "422") {
    chromaShiftX_ = 1;
    chromaShiftY_ = 0;
  } else if (colour == "444") {
    chromaShiftX_ = chromaShiftY_ = 0;
  } else if (colour == "mono") {
    mono_ = true;
  } else if (IsDeeperThan8Bits(colour)) {
    return fail("C" + colour + ": samples of more than 8 bits are not read (8-bit 420, 422, 444 or mono)");
  } else {
    return fail("unsupported colour space C" + colour + " (8-bit 420, 422, 444 or mono)");
  }
  const std::size_t luma = std::size_t(width_) * height_;
  const std::size_t chroma =
      mono_ ? 0 : std::size_t((width_ + chromaShiftX_) >> chromaShiftX_) * ((height_ + chromaShiftY_) >> chromaShiftY_);
  frameBytes_ = luma + 2 * chroma;
  return true;
}

Y4mReader::Frame Y4mReader::Next(std::vector<std::uint8_t>* rgb, std::string* why) {
  auto damaged = [&](const std::string& text) {
    if (why) *why = "frame " + std::to_string(frames_) + ": " + (source_.Failed() ? "read error" : text);
    return Frame::Damaged;
  };
  std::string tag;
  bool nothing = false;
  if (!ReadLine(tag, kLongestLine, nothing)) {
    if (nothing && !source_.Failed()) return Frame::End;
    return damaged("cut short");
  }
  // Frame parameters, if any, follow the tag; none changes the picture.
  if (tag != "FRAME" && tag.rfind("FRAME ", 0) != 0) return damaged("no FRAME tag where one belongs");
  if (!ReadPlanes()) return damaged("cut short");
  ++frames_;
  if (rgb) ToRgb(planes_.data(), *rgb);
  return Frame::Read;
}

bool Y4mReader::ReadPlanes() {
  if (planes_.size() == frameBytes_) return source_.Read(planes_.data(), frameBytes_) == frameBytes_;
  // The first frame: the planes grow with the bytes that arrive, each step at
  // most doubling them, so a header announcing large pictures over a short
  // stream costs memory in proportion to the stream, not to the header.
  std::size_t have = 0;
  while (have < frameBytes_) {
    const std::size_t step = std::min(frameBytes_ - have, std::max(have, kFirstReadBytes));
    planes_.resize(have + step);
    const std::size_t got = source_.Read(planes_.data() + have, step);
    have += got;
    if (got != step) {
      planes_.clear();
      planes_.shrink_to_fit();
      return false;
    }
  }
  return true;
}

void Y4mReader::ToRgb(const std::uint8_t* planes, std::vector<std::uint8_t>& rgb) const {
  rgb.resize(std::size_t(width_) * height_ * 3);
  const int cw = (width_ + chromaShiftX_) >> chromaShiftX_;
  const std::uint8_t* Y = planes;
  const std::uint8_t* U = Y + std::size_t(width_) * height_;
  const std::uint8_t* V = U + std::size_t(cw) * ((height_ + chromaShiftY_) >> chromaShiftY_);
  auto byte = [](double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const double luma = (Y[std::size_t(y) * width_ + x] - 16) * (255.0 / 219.0);
      double cb = 0, cr = 0;
      if (!mono_) {
        const std::size_t c = std::size_t(y >> chromaShiftY_) * cw + (x >> chromaShiftX_);
        cb = (U[c] - 128) * (255.0 / 224.0);
        cr = (V[c] - 128) * (255.0 / 224.0);
      }
      std::uint8_t* p = rgb.data() + (std::size_t(y) * width_ + x) * 3;
      p[0] = byte(luma + 1.402 * cr);
      p[1] = byte(luma - 0.344136 * cb - 0.714136 * cr);
      p[2] = byte(luma + 1.772 * cb);
    }
  }
}

}  // namespace kestrel::tool
