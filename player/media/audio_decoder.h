// GSM 06.10 decoding of audio frames, one decoder state per open message.
#pragma once

#include <cstdint>

namespace kestrel {

struct AudioDecoderState;

// A fresh state (all memories zero, remembered lag 40), or nullptr when memory
// is exhausted.
AudioDecoderState* CreateAudioDecoder();

// Decodes one 33-byte frame into 160 samples and advances the state. Every
// 33-byte value is a valid frame; all 160 samples are always written.
void DecodeAudioFrame(AudioDecoderState* state, const std::uint8_t* frame, std::int16_t* samples);

// Releases the state; nullptr is accepted and ignored.
void DestroyAudioDecoder(AudioDecoderState* state);

}  // namespace kestrel
