#include "test_pictures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "message_format.h"

namespace kestrel::testing {

namespace {

struct Rgb {
  double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Rgb Scene(int scene, int frame, double x, double y) {
  const double t = frame;
  switch (scene) {
    case 0: {  // sky, hills, sun
      const double hill = 150 + 25 * std::sin(x / 37.0) + 12 * std::sin(x / 11.0 + 1);
      if (std::hypot(x - 60 - 4 * t, y - 50) < 22) return {255, 230, 120};
      if (y > hill) return Mix({60, 140, 50}, {20, 80, 30}, (y - hill) / 90.0);
      return Mix({110, 170, 240}, {220, 235, 255}, y / 160.0);
    }
    case 1: {  // colour bars with a moving grey ramp below
      static const Rgb bars[7] = {{235, 235, 235}, {235, 235, 16}, {16, 235, 235}, {16, 235, 16},
                                  {235, 16, 235},  {235, 16, 16},  {16, 16, 235}};
      if (y < 170) return bars[std::min(6, static_cast<int>(x / (320.0 / 7)))];
      const double v = std::fmod(x + 8 * t, 320.0) / 320.0 * 255;
      return {v, v, v};
    }
    case 2: {  // disc on a textured wall
      const double d = std::hypot(x - 160, y - 120);
      if (d < 70) return Mix({230, 180, 150}, {170, 110, 90}, d / 70.0);
      const double brick = (static_cast<int>(y / 20) % 2 ? 0 : 20);
      const bool mortar = std::fmod(y, 20) < 2 || std::fmod(x + brick, 40) < 2;
      return mortar ? Rgb{200, 200, 190} : Rgb{160, 70 + t, 50};
    }
    case 3:  // soft gradients
      return {128 + 100 * std::sin(x / 60.0 + t / 5), 128 + 100 * std::cos(y / 50.0),
              128 + 90 * std::sin((x + y) / 90.0)};
    case 4: {  // checks and strokes
      const bool check = (static_cast<int>(x / 16) + static_cast<int>(y / 16)) % 2;
      const bool stroke = std::fabs(std::fmod(x + y + 2 * t, 48.0) - 24) < 2;
      if (stroke) return {20, 20, 20};
      return check ? Rgb{240, 240, 240} : Rgb{90, 120, 200};
    }
    default: {  // clock card: a face with a hand that turns
      const double d = std::hypot(x - 160, y - 120);
      if (d > 100) return {40, 40, 60};
      const double angle = t * 0.3;
      const double hx = std::sin(angle), hy = -std::cos(angle);
      const double along = (x - 160) * hx + (y - 120) * hy, across = std::fabs((x - 160) * hy - (y - 120) * hx);
      if (along > 0 && along < 85 && across < 3) return {200, 20, 20};
      return d > 94 ? Rgb{30, 30, 30} : Rgb{245, 245, 235};
    }
  }
}

}  // namespace

std::vector<std::uint8_t> DrawTestPicture(int scene, int frame) {
  std::vector<std::uint8_t> picture(kPictureBytes);
  std::mt19937 rng(static_cast<std::uint32_t>(frame + 1));
  for (int row = 0; row < kPictureHeight; ++row) {
    const int y = kPictureHeight - 1 - row;  // the first row is the bottom line
    for (int x = 0; x < kPictureWidth; ++x) {
      Rgb c = scene == kNoiseScene ? Rgb{double(rng() % 256), double(rng() % 256), double(rng() % 256)}
                                   : Scene(scene, frame, x, y);
      std::uint8_t* p = picture.data() + row * kPictureRowBytes + 3 * x;
      p[0] = static_cast<std::uint8_t>(std::clamp(c.b, 0.0, 255.0));
      p[1] = static_cast<std::uint8_t>(std::clamp(c.g, 0.0, 255.0));
      p[2] = static_cast<std::uint8_t>(std::clamp(c.r, 0.0, 255.0));
    }
  }
  return picture;
}

double Psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int channel) {
  double sum = 0;
  const std::size_t n = std::min(a.size(), b.size()) / 3;
  for (std::size_t i = 0; i < n; ++i) {
    double d;
    if (channel < 3) {
      d = double(a[3 * i + channel]) - b[3 * i + channel];
    } else {
      auto luma = [](const std::uint8_t* p) { return 0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2]; };
      d = luma(&a[3 * i]) - luma(&b[3 * i]);
    }
    sum += d * d;
  }
  if (sum == 0) return std::numeric_limits<double>::infinity();
  return 10 * std::log10(255.0 * 255.0 / (sum / n));
}

}  // namespace kestrel::testing
