// Natural-looking test pictures drawn here (no image files), and PSNR.
#pragma once

#include <cstdint>
#include <vector>

namespace kestrel::testing {

inline constexpr int kSceneCount = 6;
inline constexpr int kNoiseScene = 99;  // random pixels: the worst case for the coder

// A 320 x 240 picture in the decoded-picture layout (B, G, R, bottom line
// first). Scenes: 0 sky and hills, 1 colour bars, 2 a face-like disc on a
// wall, 3 soft gradients, 4 checks and text-like strokes, 5 a clock card;
// `frame` moves what moves.
std::vector<std::uint8_t> DrawTestPicture(int scene, int frame);

// PSNR in dB of one channel (0 blue, 1 green, 2 red) of two such pictures;
// channel 3 is the luma (0.299 R + 0.587 G + 0.114 B).
double Psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int channel);

}  // namespace kestrel::testing
