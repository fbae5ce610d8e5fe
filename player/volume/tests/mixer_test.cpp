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

  service.failCaps = true;
  EXPECT_FALSE(mixer.Open(0));
  EXPECT_TRUE(mixer.IsOpen()) << "only the capabilities failed";
  std::string name = "unchanged";
  ASSERT_TRUE(mixer.GetDeviceName(name));
  EXPECT_EQ(name, "") << "capabilities stay cleared";
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
  service.failingReads = {F::kWaveMute};
  CMixer mixer(nullptr, service);
  ASSERT_TRUE(mixer.Open(0));
  EXPECT_FALSE(mixer.FindWaveVolume());
  ASSERT_TRUE(mixer.FindWaveMute());
  EXPECT_FALSE(mixer.WaveVolumeId());
  std::uint32_t volume = 5;
  bool mute = true;
  EXPECT_FALSE(mixer.GetWaveVolume(volume));
  EXPECT_FALSE(mixer.SetWaveVolume(9));
  EXPECT_FALSE(mixer.GetWaveMute(mute));
  EXPECT_EQ(volume, 5u);
  EXPECT_TRUE(mute);
  EXPECT_FALSE(mixer.SetMasterVolume(9)) << "never found";
  EXPECT_TRUE(service.writes.empty());
}

TEST(Mixer, PeakMeterIsSearchedOnlyAmongTheSpeakersSources) {
  // The first wave-output line of the device feeds another destination; the
  // speakers' own wave-output source is a later line.
  CFakeMixerService service;
  service.deviceCount = 1;
  service.AddLine(MixerLine{0, 0, 0xFFFF0000, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 2, 0});
  service.AddLine(MixerLine{1, 0, 0x2000, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 0, 1});
  service.AddLine(MixerLine{0, 0, 0x3000, 0x1003 /* line in */, 0, 0});
  service.AddLine(MixerLine{0, 1, 0x4000, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 0, 1});
  service.AddControl(0x2000, MixerControl{21, MIXERCONTROL_CONTROLTYPE_VOLUME, 0, 255}, 100);
  service.AddControl(0x4000, MixerControl{41, MIXERCONTROL_CONTROLTYPE_PEAKMETER, -128, 127}, 0);
  CMixer mixer(nullptr, service);
  ASSERT_TRUE(mixer.Open(0));
  ASSERT_TRUE(mixer.FindWaveVolume());
  EXPECT_EQ(mixer.WaveVolumeId(), 21u) << "wave volume comes from the first wave-output line";
  EXPECT_EQ(mixer.WaveVolumeMaximum(), 255u);
  ASSERT_TRUE(mixer.FindWavePeakMeter());
  EXPECT_EQ(mixer.WavePeakMeterId(), 41u) << "the peak meter from the speakers' own source";
  EXPECT_EQ(mixer.WavePeakMeterMinimum(), -128);
}

TEST(Mixer, WithoutAWaveSourceOnTheSpeakersOnlyThePeakMeterIsMissing) {
  for (const bool noConnections : {true, false}) {
    SCOPED_TRACE(noConnections ? "speakers line without sources" : "no wave-output source among them");
    CFakeMixerService service;
    service.deviceCount = 1;
    service.AddLine(MixerLine{0, 0, 0xFFFF0000, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, noConnections ? 0u : 1u, 2});
    service.AddLine(MixerLine{0, 0, 0x3000, 0x1003, 0, 0});
    service.AddLine(MixerLine{1, 0, 0x2000, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 0, 3});
    service.AddControl(0xFFFF0000, MixerControl{1, MIXERCONTROL_CONTROLTYPE_VOLUME, 0, 65535}, 10);
    service.AddControl(0xFFFF0000, MixerControl{2, MIXERCONTROL_CONTROLTYPE_MUTE, 0, 1}, 0);
    service.AddControl(0x2000, MixerControl{3, MIXERCONTROL_CONTROLTYPE_VOLUME, 0, 65535}, 10);
    service.AddControl(0x2000, MixerControl{4, MIXERCONTROL_CONTROLTYPE_MUTE, 0, 1}, 0);
    service.AddControl(0x2000, MixerControl{5, MIXERCONTROL_CONTROLTYPE_PEAKMETER, 0, 100}, 0);
    CMixer mixer(nullptr, service);
    ASSERT_TRUE(mixer.Open(0));
    EXPECT_FALSE(mixer.FindWavePeakMeter());
    EXPECT_TRUE(mixer.FindMasterVolume());
    EXPECT_TRUE(mixer.FindMasterMute());
    EXPECT_TRUE(mixer.FindWaveVolume());
    EXPECT_TRUE(mixer.FindWaveMute());
    std::int32_t peak = 3;
    EXPECT_FALSE(mixer.GetWavePeak(peak));
    EXPECT_EQ(peak, 3);
  }
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
