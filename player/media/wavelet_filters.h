// Taps of the CDF 9/7 wavelet as single-precision constants (lpN and hpN are
// the analysis low-pass and high-pass taps at distance N from the centre).
#pragma once

#include "message_format.h"

namespace kestrel::wavelet {

inline constexpr float kLp0 = 0.8526987f;
inline constexpr float kLp1 = 0.37740284f;
inline constexpr float kLp2 = -0.1106244f;
inline constexpr float kLp3 = -0.023849465f;
inline constexpr float kLp4 = 0.037828457f;
inline constexpr float kHp0 = 0.7884856f;
inline constexpr float kHp1 = 0.41809228f;
inline constexpr float kHp2 = -0.040689416f;
inline constexpr float kHp3 = -0.06453888f;

// Four extension places on each side of a line of up to 320 values.
inline constexpr int kLineExtension = 4;
inline constexpr int kMaxLine = kPictureWidth;
inline constexpr int kLineBufferSize = kMaxLine + 2 * kLineExtension;  // 328

// Level sizes of a picture-sized plane, finest first: each halves the last.
inline constexpr int kLevelWidth[4] = {kPictureWidth, kPictureWidth / 2, kPictureWidth / 4, kPictureWidth / 8};
inline constexpr int kLevelHeight[4] = {kPictureHeight, kPictureHeight / 2, kPictureHeight / 4, kPictureHeight / 8};

}  // namespace kestrel::wavelet
