// The format's colour matrix, named once for the plain conversion
// (colour_conversion.h), its vector form (video_kernels_impl.h) and the
// encoder, which solves it the other way. Constants only, so that code
// compiled for one instruction set can include it.
#pragma once

namespace kestrel::colour {

// The format's colour matrix over plane integers Y, U, V:
//   blue  = (128 Y + 260 U) >> 7
//   green = (128 Y - 51 U - 74 V) >> 7
//   red   = (128 Y + 146 V) >> 7
inline constexpr int kShift = 7;
inline constexpr int kLumaWeight = 1 << kShift;  // 128, Y's weight in every channel
inline constexpr int kBlueFromU = 260;
inline constexpr int kGreenFromU = 51;  // subtracted
inline constexpr int kGreenFromV = 74;  // subtracted
inline constexpr int kRedFromV = 146;

}  // namespace kestrel::colour
