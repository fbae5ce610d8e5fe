// CMixer over the fake mixer service.
#include <gtest/gtest.h>

#include "fake_mixer_service.h"
#include "mixer.h"

namespace kestrel {
namespace {

using testing::CFakeMixerService;
using F = CFakeMixerService;

TEST(Mixer, OpensOnlyADeviceThatExistsAndClosesTheOneOpenFirst) {
  CFakeMixerService service;
  CMixer mixer(nullptr, service);
  EXPECT_FALSE(mixer.Open(0)) << "no devices";
  service.AddStandardDevice("Fake Speakers");
  EXPECT_FALSE(mixer.Open(1)) << "index not below the count";
  ASSERT_TRUE(mixer.Open(0));
  ASSERT_TRUE(mixer.Open(0));
  EXPECT_EQ(service.opens, 2);
  EXPECT_EQ(service.closes, 1) << "the open device is closed before the next opens";

  service.failName = true;
  EXPECT_FALSE(mixer.Open(0));
  EXPECT_TRUE(mixer.IsOpen()) << "only the name failed";
  std::string name = "unchanged";
  ASSERT_TRUE(mixer.GetDeviceName(name));
  EXPECT_EQ(name, "") << "the last device's name stays cleared";
}

TEST(Mixer, EverythingFailsOnAClosedDevice) {
  CFakeMixerService service;
  service.AddStandardDevice();
  CMixer mixer(nullptr, service);
  std::string name = "unchanged";
  EXPECT_FALSE(mixer.GetDeviceName(name));
  EXPECT_FALSE(mixer.FindWavePeakMeter());
  ASSERT_TRUE(mixer.Open(0));
  ASSERT_TRUE(mixer.FindMasterVolume());
  mixer.Close();
  EXPECT_FALSE(service.IsOpen());
  std::uint32_t volume = 7;
  EXPECT_FALSE(mixer.GetMasterVolume(volume));
  EXPECT_FALSE(mixer.SetMasterVolume(1));
  EXPECT_EQ(volume, 7u);
  EXPECT_FALSE(mixer.GetDeviceName(name));
  EXPECT_EQ(name, "unchanged");
  EXPECT_FALSE(mixer.MasterVolumeId()) << "a closed device's ids match no notice";
}

TEST(Mixer, FindsStoreIdsAndBoundsOfEachControl) {
  CFakeMixerService service;
  service.AddStandardDevice("Fake Speakers");
  CMixer mixer(nullptr, service);
  ASSERT_TRUE(mixer.Open(0));
  std::string name;
  ASSERT_TRUE(mixer.GetDeviceName(name));
  EXPECT_EQ(name, "Fake Speakers");

  EXPECT_FALSE(mixer.MasterVolumeId()) << "absent until found";
  ASSERT_TRUE(mixer.FindMasterVolume());
  ASSERT_TRUE(mixer.FindMasterMute());
  ASSERT_TRUE(mixer.FindWaveVolume());
  ASSERT_TRUE(mixer.FindWaveMute());
  ASSERT_TRUE(mixer.FindWavePeakMeter());
  EXPECT_EQ(mixer.MasterVolumeId(), F::kMasterVolume);
  EXPECT_EQ(mixer.MasterMuteId(), F::kMasterMute);
  EXPECT_EQ(mixer.WaveVolumeId(), F::kWaveVolume);
  EXPECT_EQ(mixer.WaveMuteId(), F::kWaveMute);
  EXPECT_EQ(mixer.WavePeakMeterId(), F::kWavePeak);
  EXPECT_EQ(mixer.MasterVolumeMaximum(), 65535u);
  EXPECT_EQ(mixer.WavePeakMeterMinimum(), -32768);
  EXPECT_EQ(mixer.WavePeakMeterMaximum(), 32767);
}

TEST(Mixer, AbsentControlsAndFailedReadsLeaveTheOutArgumentAlone) {
  CFakeMixerService service;
  service.AddStandardDevice();
  service.RemoveControl(F::kWaveVolume);
  service.RemoveControl(F::kWavePeak);
  service.failingReads = {F::kWaveMute};
  CMixer mixer(nullptr, service);
  ASSERT_TRUE(mixer.Open(0));
  EXPECT_FALSE(mixer.FindWaveVolume());
  EXPECT_FALSE(mixer.FindWavePeakMeter());
  ASSERT_TRUE(mixer.FindWaveMute());
  ASSERT_TRUE(mixer.FindMasterMute()) << "the others are found all the same";
  EXPECT_FALSE(mixer.WaveVolumeId());
  std::uint32_t volume = 5;
  bool mute = true;
  EXPECT_FALSE(mixer.GetWaveVolume(volume));
  EXPECT_FALSE(mixer.SetWaveVolume(9));
  EXPECT_FALSE(mixer.GetWaveMute(mute));
  EXPECT_EQ(volume, 5u);
  EXPECT_TRUE(mute);
  std::int32_t peak = 3;
  EXPECT_FALSE(mixer.GetWavePeak(peak));
  EXPECT_EQ(peak, 3);
  EXPECT_FALSE(mixer.SetMasterVolume(9)) << "never found";
  EXPECT_TRUE(service.writes.empty());
}

TEST(Mixer, MutesAreWrittenAsOneAndZeroAndAnyNonZeroReadsAsTrue) {
  CFakeMixerService service;
  service.AddStandardDevice();
  CMixer mixer(nullptr, service);
  ASSERT_TRUE(mixer.Open(0));
  ASSERT_TRUE(mixer.FindMasterMute());
  ASSERT_TRUE(mixer.FindWaveMute());
  ASSERT_TRUE(mixer.SetMasterMute(true));
  ASSERT_TRUE(mixer.SetWaveMute(true));
  ASSERT_TRUE(mixer.SetWaveMute(false));
  ASSERT_EQ(service.writes.size(), 3u);
  EXPECT_EQ(service.writes[0], std::make_pair(F::kMasterMute, 1u));
  EXPECT_EQ(service.writes[1], std::make_pair(F::kWaveMute, 1u));
  EXPECT_EQ(service.writes[2], std::make_pair(F::kWaveMute, 0u));

  service.ExternalChange(F::kMasterMute, 0x80);
  bool mute = false;
  ASSERT_TRUE(mixer.GetMasterMute(mute));
  EXPECT_TRUE(mute);
}

TEST(Mixer, ValuesPassUnchangedAndNegativePeaksStayNegative) {
  CFakeMixerService service;
  service.AddStandardDevice();
  CMixer mixer(nullptr, service);
  ASSERT_TRUE(mixer.Open(0));
  ASSERT_TRUE(mixer.FindMasterVolume());
  ASSERT_TRUE(mixer.FindWavePeakMeter());
  ASSERT_TRUE(mixer.SetMasterVolume(12345));
  std::uint32_t volume = 0;
  ASSERT_TRUE(mixer.GetMasterVolume(volume));
  EXPECT_EQ(volume, 12345u);

  service.ExternalChange(F::kWavePeak, static_cast<std::uint32_t>(-20000));
  std::int32_t peak = 0;
  ASSERT_TRUE(mixer.GetWavePeak(peak));
  EXPECT_EQ(peak, -20000);
}

}  // namespace
}  // namespace kestrel
