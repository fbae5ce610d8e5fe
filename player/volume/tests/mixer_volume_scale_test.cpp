#include <gtest/gtest.h>

#include "mixer_volume_scale.h"

namespace kestrel {
namespace {

TEST(MixerVolumeScale, EndsMeetAndEveryMixerValueSurvivesTheRoundTrip) {
  EXPECT_EQ(ServerVolumeFromMixer(0), 0u);
  EXPECT_EQ(ServerVolumeFromMixer(65535), kServerVolumeNorm);
  EXPECT_EQ(MixerVolumeFromServer(kServerVolumeNorm), 65535u);
  EXPECT_EQ(MixerVolumeFromServer(kServerVolumeNorm / 2), 32768u);
  EXPECT_EQ(MixerVolumeFromServer(kServerVolumeNorm * 3 / 2), 65535u) << "louder than normal reads as the top";
  for (std::uint32_t v = 0; v <= 65535; ++v) {
    ASSERT_EQ(MixerVolumeFromServer(ServerVolumeFromMixer(v)), v);
    ASSERT_LE(ServerVolumeFromMixer(v), kServerVolumeNorm);
  }
}

}  // namespace
}  // namespace kestrel
