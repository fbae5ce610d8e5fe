// The sound the engine moves: blocks of one decoded audio frame each, in the
// decoder's signed 16-bit samples, and the ring of them that the sound output
// holds. The wave output below it must take the whole ring without waiting.
#pragma once

#include <cstdint>

#include "message_format.h"

namespace kestrel {

inline constexpr int kBytesPerSample = static_cast<int>(sizeof(std::int16_t));
inline constexpr int kSoundBlockBytes = kSamplesPerAudioFrame * kBytesPerSample;  // 320, 20 ms
// Blocks in the sound output's ring; one stays free, so that a full ring and
// an empty one differ.
inline constexpr int kSoundRingBlocks = 250;
inline constexpr std::uint32_t kSoundRingBytes = kSoundRingBlocks * kSoundBlockBytes;

}  // namespace kestrel
