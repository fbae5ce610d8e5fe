#include "y4m_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace kestrel::tool {

namespace {
std::uint8_t ToByte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }
}  // namespace

void RgbToYcbcr(int r, int g, int b, std::uint8_t& y, std::uint8_t& cb, std::uint8_t& cr) {
  y = ToByte(16.0 + (65.481 * r + 128.553 * g + 24.966 * b) / 255.0);
  cb = ToByte(128.0 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255.0);
  cr = ToByte(128.0 + (112.0 * r - 93.786 * g - 18.214 * b) / 255.0);
}

Y4mWriter::~Y4mWriter() { Close(nullptr); }

bool Y4mWriter::Open(const std::string& path, int width, int height, int framesPerSecond, std::string* error) {
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) {
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
  }
  path_ = path;
  width_ = width;
  height_ = height;
  failed_ = std::fprintf(file_, "YUV4MPEG2 W%d H%d F%d:1 Ip A1:1 C420jpeg\n", width, height, framesPerSecond) < 0;
  planes_.resize(static_cast<std::size_t>(width) * height * 3 / 2);
  return !failed_;
}

bool Y4mWriter::WriteFrame(const std::uint8_t* rgb) {
  if (!file_) return false;
  const int w = width_, h = height_;
  std::uint8_t* luma = planes_.data();
  std::uint8_t* cbPlane = luma + w * h;
  std::uint8_t* crPlane = cbPlane + (w / 2) * (h / 2);
  // Chroma is the mean of each 2 x 2 square (centred siting).
  std::vector<int> cbSum(static_cast<std::size_t>(w / 2) * (h / 2), 0), crSum(cbSum.size(), 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = rgb + (static_cast<std::size_t>(y) * w + x) * 3;
      std::uint8_t Y, Cb, Cr;
      RgbToYcbcr(p[0], p[1], p[2], Y, Cb, Cr);
      luma[y * w + x] = Y;
      const std::size_t c = static_cast<std::size_t>(y / 2) * (w / 2) + x / 2;
      cbSum[c] += Cb;
      crSum[c] += Cr;
    }
  }
  for (std::size_t c = 0; c < cbSum.size(); ++c) {
    cbPlane[c] = static_cast<std::uint8_t>((cbSum[c] + 2) / 4);
    crPlane[c] = static_cast<std::uint8_t>((crSum[c] + 2) / 4);
  }
  if (std::fputs("FRAME\n", file_) < 0 || std::fwrite(planes_.data(), 1, planes_.size(), file_) != planes_.size())
    failed_ = true;
  return !failed_;
}

bool Y4mWriter::Close(std::string* error) {
  if (!file_) return !failed_;
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  if (failed_ && error) *error = path_ + ": cannot write Y4M";
  return !failed_;
}

}  // namespace kestrel::tool
