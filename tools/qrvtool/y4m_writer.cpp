#include "y4m_writer.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kestrel::tool {

namespace {
std::uint8_t ToByte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }
}  // namespace

void RgbToYcbcr(int r, int g, int b, std::uint8_t& y, std::uint8_t& cb, std::uint8_t& cr) {
  y = ToByte(16.0 + (65.481 * r + 128.553 * g + 24.966 * b) / 255.0);
  cb = ToByte(128.0 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255.0);
  cr = ToByte(128.0 + (112.0 * r - 93.786 * g - 18.214 * b) / 255.0);
}

bool Y4mWriter::Open(OutputFile& output, int width, int height, int framesPerSecond) {
  output_ = &output;
  width_ = width;
  height_ = height;
  const std::string header = "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) + " F" +
                             std::to_string(framesPerSecond) + ":1 Ip A1:1 C420jpeg\n";
  return output.Write(header.data(), header.size());
}

bool Y4mWriter::WriteFrame(const std::uint8_t* rgb) {
  if (!output_) return false;
  FramePlanes(rgb, width_, height_, planes_);
  return WritePlanes(planes_);
}

void Y4mWriter::FramePlanes(const std::uint8_t* rgb, int w, int h, std::vector<std::uint8_t>& planes) {
  planes.resize(static_cast<std::size_t>(w) * h * 3 / 2);
  std::uint8_t* luma = planes.data();
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
}

bool Y4mWriter::WritePlanes(const std::vector<std::uint8_t>& planes) {
  if (!output_) return false;
  static constexpr char kFrameTag[] = "FRAME\n";
  return output_->Write(kFrameTag, sizeof kFrameTag - 1) && output_->Write(planes.data(), planes.size());
}

}  // namespace kestrel::tool
