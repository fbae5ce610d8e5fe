// The 33-byte audio frame: the 76 GSM 06.10 parameters in the message file's
// own LSB-first bit packing.
#pragma once

#include <array>
#include <cstdint>

#include "message_format.h"

namespace kestrel {

inline constexpr int kGsmParameterCount = 76;

// Parameters in the standard's order: LARc[0..7], then for each of the four
// subframes Nc, bc, Mc, xmaxc, xMc[0..12]. This is also gsm_implode's order.
using GsmParameters = std::array<std::int16_t, kGsmParameterCount>;
using AudioFrameBytes = std::array<std::uint8_t, kAudioFrameBytes>;

// Width in bits of each parameter, in parameter order; they add up to 260.
const std::array<std::uint8_t, kGsmParameterCount>& GsmParameterWidths();

// Unpacks the 76 fields from the frame; the four spare bits are never read.
GsmParameters UnpackAudioFrame(const std::uint8_t* frame);

// Packs the parameters (each kept to its field width); the spare bits are zero.
AudioFrameBytes PackAudioFrame(const GsmParameters& parameters);

}  // namespace kestrel
