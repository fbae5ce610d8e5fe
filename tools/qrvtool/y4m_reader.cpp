#include "y4m_reader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sstream>

namespace kestrel::tool {

namespace {
constexpr char kFrameTag[] = "FRAME\n";
constexpr std::size_t kFrameTagSize = sizeof kFrameTag - 1;
}  // namespace

Y4mReader::~Y4mReader() {
  if (file_) std::fclose(file_);
}

bool Y4mReader::Open(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = path + ": " + why;
    return false;
  };
  path_ = path;
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) return fail(std::strerror(errno));
  std::string header;
  for (int c; (c = std::fgetc(file_)) != EOF && c != '\n' && header.size() < 1024;) header += static_cast<char>(c);
  std::istringstream fields(header);
  std::string word;
  fields >> word;
  if (word != "YUV4MPEG2") return fail("not a YUV4MPEG2 file");
  std::string colour = "420jpeg";
  while (fields >> word) {
    const char key = word[0];
    const std::string value = word.substr(1);
    if (key == 'W') width_ = std::atoi(value.c_str());
    if (key == 'H') height_ = std::atoi(value.c_str());
    if (key == 'C') colour = value;
    if (key == 'F') {
      int num = 0, den = 0;
      if (std::sscanf(value.c_str(), "%d:%d", &num, &den) == 2 && num > 0 && den > 0) rate_ = double(num) / den;
    }
  }
  if (width_ <= 0 || height_ <= 0 || width_ > 16384 || height_ > 16384) return fail("bad picture size");
  if (colour.rfind("420", 0) == 0) {
    chromaShiftX_ = chromaShiftY_ = 1;
  } else if (colour == "422") {
    chromaShiftX_ = 1;
    chromaShiftY_ = 0;
  } else if (colour == "444") {
    chromaShiftX_ = chromaShiftY_ = 0;
  } else if (colour == "mono") {
    mono_ = true;
  } else {
    return fail("unsupported colour space C" + colour + " (8-bit 420, 422, 444 or mono)");
  }
  const std::size_t luma = std::size_t(width_) * height_;
  const std::size_t chroma =
      mono_ ? 0 : std::size_t((width_ + chromaShiftX_) >> chromaShiftX_) * ((height_ + chromaShiftY_) >> chromaShiftY_);
  frameBytes_ = luma + 2 * chroma;
  dataStart_ = std::ftell(file_);
  std::fseek(file_, 0, SEEK_END);
  const long size = std::ftell(file_);
  frames_ = static_cast<int>((size - dataStart_) / static_cast<long>(kFrameTagSize + frameBytes_));
  planes_.resize(frameBytes_);
  return true;
}

bool Y4mReader::ReadFrame(int index, std::vector<std::uint8_t>& rgb, std::string* error) {
  const long at = dataStart_ + static_cast<long>(index) * static_cast<long>(kFrameTagSize + frameBytes_);
  char tag[kFrameTagSize];
  if (std::fseek(file_, at, SEEK_SET) != 0 || std::fread(tag, 1, kFrameTagSize, file_) != kFrameTagSize ||
      std::memcmp(tag, kFrameTag, kFrameTagSize) != 0 ||
      std::fread(planes_.data(), 1, frameBytes_, file_) != frameBytes_) {
    if (error) *error = path_ + ": frame " + std::to_string(index) + " is damaged (frames with parameters are not read)";
    return false;
  }
  rgb.resize(std::size_t(width_) * height_ * 3);
  const int cw = (width_ + chromaShiftX_) >> chromaShiftX_;
  const std::uint8_t* Y = planes_.data();
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
  return true;
}

}  // namespace kestrel::tool
