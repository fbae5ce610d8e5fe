// The records and kinds a mixer service describes its device with: one
// device and the five controls the player uses.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel {

// An open device; 0 stands for none.
using MixerHandle = std::uintptr_t;

// The controls: volume and mute of the speakers output ("Master Volume"),
// volume and mute of the wave-output source feeding it ("Speakers Volume"),
// and the peak meter of that source, the speakers line's own wave-output
// source. Volumes are unsigned, mutes 0 or 1, peaks signed.
enum class MixerControlKind { MasterVolume, MasterMute, WaveVolume, WaveMute, WavePeakMeter };

// The product name holds at most this many characters.
inline constexpr std::size_t kMixerProductNameLength = 31;

struct MixerControl {
  std::uint32_t controlId = 0;
  // Read as unsigned for volumes and as signed for the peak meter.
  std::int64_t minimum = 0;
  std::int64_t maximum = 0;
};

}  // namespace kestrel
