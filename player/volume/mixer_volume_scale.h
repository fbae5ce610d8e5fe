// Mixer volumes are 0..65535, linear in the sound server's own volume value
// 0..PA_VOLUME_NORM (0x10000), as the system volume program's slider is;
// the server's cubic loudness curve stays the server's business. Values
// above the server's normal volume read as the mixer's maximum.
#pragma once

#include <cstdint>

namespace kestrel {

inline constexpr std::uint32_t kMixerVolumeMaximum = 65535;
inline constexpr std::uint32_t kServerVolumeNorm = 0x10000;

constexpr std::uint32_t MixerVolumeFromServer(std::uint32_t server) {
  if (server >= kServerVolumeNorm) return kMixerVolumeMaximum;
  return static_cast<std::uint32_t>((std::uint64_t{server} * kMixerVolumeMaximum + kServerVolumeNorm / 2) /
                                    kServerVolumeNorm);
}

constexpr std::uint32_t ServerVolumeFromMixer(std::uint32_t mixer) {
  if (mixer >= kMixerVolumeMaximum) return kServerVolumeNorm;
  return static_cast<std::uint32_t>((std::uint64_t{mixer} * kServerVolumeNorm + kMixerVolumeMaximum / 2) /
                                    kMixerVolumeMaximum);
}

}  // namespace kestrel
