// The records and kinds a mixer service describes its device with: one
// device, its lines, and the controls on each line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel {

// An open device; 0 stands for none.
using MixerHandle = std::uintptr_t;

// Line kinds (component types).
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_DST_SPEAKERS = 4;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;

// Control kinds: volumes are unsigned, mutes 0 or 1, peaks signed.
inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001;
inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_MUTE = 0x20010002;
inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_PEAKMETER = 0x10020001;

// The product name holds at most this many characters.
inline constexpr std::size_t kMixerProductNameLength = 31;

struct MixerCaps {
  std::uint16_t manufacturerId = 0;
  std::uint16_t productId = 0;
  std::uint32_t driverVersion = 0;
  std::string productName;
  std::uint32_t support = 0;
  std::uint32_t destinations = 0;
};

struct MixerLine {
  std::uint32_t destination = 0;  // index of the destination line it is or feeds
  std::uint32_t source = 0;       // index among that destination's sources
  std::uint32_t lineId = 0;
  std::uint32_t componentType = 0;
  std::uint32_t connections = 0;  // sources of a destination line
  std::uint32_t controls = 0;
};

struct MixerControl {
  std::uint32_t controlId = 0;
  std::uint32_t controlType = 0;
  // Read as unsigned for volumes and as signed for the peak meter.
  std::int64_t minimum = 0;
  std::int64_t maximum = 0;
};

}  // namespace kestrel
