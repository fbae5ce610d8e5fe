// Taps of the CDF 9/7 wavelet as single-precision constants (lpN and hpN are
// the analysis low-pass and high-pass taps at distance N from the centre).
#pragma once

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
inline constexpr int kMaxLine = 320;
inline constexpr int kLineBufferSize = kMaxLine + 2 * kLineExtension;  // 328

// Level sizes of a 320 x 240 plane, finest first.
inline constexpr int kLevelWidth[4] = {320, 160, 80, 40};
inline constexpr int kLevelHeight[4] = {240, 120, 60, 30};

}  // namespace kestrel::wavelet
