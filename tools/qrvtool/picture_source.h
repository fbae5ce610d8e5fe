// The pictures of a message being recorded: a folder of pictures (PNG, JPEG,
// BMP, in name order) or a Y4M file, each scaled to 320 x 240.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::tool {

class PictureSource {
 public:
  virtual ~PictureSource() = default;
  // Pictures at the message's rate: one per file for a folder; for a Y4M file
  // its frames repeated or dropped to match the rate.
  virtual int Count() const = 0;
  // Picture k as a decoded picture is laid out (B, G, R, bottom line first).
  virtual bool Picture(int k, std::vector<std::uint8_t>& picture, std::string* error) = 0;
};

std::unique_ptr<PictureSource> OpenPictureSource(const std::string& path, int framesPerSecond, std::string* error);

// Scales upright R, G, B (any size) to fit 320 x 240 keeping its aspect,
// centred on black, into the decoded-picture layout.
std::vector<std::uint8_t> FitToPicture(const std::uint8_t* rgb, int width, int height);

}  // namespace kestrel::tool
