// CMixer over the PulseAudio mixer service, against the private server of
// scripts/test-services.sh (an 8000 Hz mono null sink, the default sink).
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include <QObject>

#include "mixer.h"
#include "mixer_control_change_event.h"
#include "mixer_volume_scale.h"
#include "pulse_mixer_service.h"
#include "pulse_test_support.h"
#include "pulse_wave_output.h"
#include "pump.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using testing::OwnSinkInputs;
using testing::PumpUntil;
using S = CPulseMixerService;

// Collects the change notices, as the dialog's window would receive them.
class CNoticeLog : public QObject {
 public:
  std::vector<std::uint32_t> ids;
  bool Saw(std::uint32_t id) const { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

 protected:
  bool event(QEvent* event) override {
    if (event->type() != CMixerControlChangeEvent::kType) return QObject::event(event);
    ids.push_back(static_cast<CMixerControlChangeEvent*>(event)->ControlId());
    return true;
  }
};

struct NoListener : IWaveOutputListener {
  void OnBufferFinished(std::uint32_t) override {}
  void OnDeviceLost() override {}
};

class PulseMixerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_SOUND_SERVER();
    ASSERT_TRUE(testing::SetSinkVolume(kServerVolumeNorm));
    ASSERT_TRUE(testing::SetSinkMute(false));
  }
  // The sink is shared with every other test that plays through it.
  void TearDown() override {
    if (!testing::MissingSoundServer().empty()) return;
    testing::SetSinkVolume(kServerVolumeNorm);
    testing::SetSinkMute(false);
  }

  // Opens the mixer and finds every control.
  void OpenAll() {
    ASSERT_TRUE(mixer.Open(0));
    ASSERT_TRUE(mixer.FindMasterVolume());
    ASSERT_TRUE(mixer.FindMasterMute());
    ASSERT_TRUE(mixer.FindWaveVolume());
    ASSERT_TRUE(mixer.FindWaveMute());
    ASSERT_TRUE(mixer.FindWavePeakMeter());
  }

  CNoticeLog notices;
  CPulseMixerService service{"kestrel volume test"};
  CMixer mixer{&notices, service};
};

std::string SinkDescription() {
  const auto text = testing::Pactl({"list", "sinks"});
  if (!text) return {};
  const std::size_t block = text->find("Name: " + testing::TestSink() + "\n");
  const std::size_t at = text->find("Description: ", block);
  if (block == std::string::npos || at == std::string::npos) return {};
  const std::size_t start = at + 13;
  return text->substr(start, text->find('\n', start) - start);
}

TEST_F(PulseMixerTest, TheDeviceIsTheDefaultSinkWithAllFiveControls) {
  EXPECT_EQ(mixer.GetDeviceCount(), 1u);
  OpenAll();
  std::string name;
  ASSERT_TRUE(mixer.GetDeviceName(name));
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(name, SinkDescription().substr(0, kMixerProductNameLength));
  EXPECT_EQ(mixer.MasterVolumeMinimum(), 0u);
  EXPECT_EQ(mixer.MasterVolumeMaximum(), 65535u);
  EXPECT_EQ(mixer.WaveVolumeMaximum(), 65535u);
  EXPECT_EQ(mixer.WavePeakMeterMinimum(), 0);
  EXPECT_EQ(mixer.WavePeakMeterMaximum(), 32767);
}

TEST_F(PulseMixerTest, ChangesByAnyProgramAreAnnouncedWithTheControlId) {
  OpenAll();
  // The server reports in order: once the notice of this change is in, any
  // report the opening caused has come before it.
  ASSERT_TRUE(testing::SetSinkVolume(20000));
  ASSERT_TRUE(PumpUntil([&] { return notices.Saw(S::kMasterVolumeId); }, 3s));
  notices.ids.clear();
  ASSERT_TRUE(testing::SetSinkVolume(10000));
  ASSERT_TRUE(PumpUntil([&] { return notices.Saw(S::kMasterVolumeId); }, 3s));
  EXPECT_FALSE(notices.Saw(S::kMasterMuteId)) << "only the control that changed";

  ASSERT_TRUE(testing::SetSinkMute(true));
  ASSERT_TRUE(PumpUntil([&] { return notices.Saw(S::kMasterMuteId); }, 3s));

  notices.ids.clear();
  ASSERT_TRUE(mixer.SetMasterVolume(50000));
  ASSERT_TRUE(PumpUntil([&] { return notices.Saw(S::kMasterVolumeId); }, 3s)) << "this program's changes too";
}

TEST_F(PulseMixerTest, WaveValuesAreHeldUntilAStreamOfOursOpensAndThenFollowIt) {
  OpenAll();
  ASSERT_TRUE(OwnSinkInputs().empty());
  ASSERT_TRUE(mixer.SetWaveVolume(30000));
  ASSERT_TRUE(mixer.SetWaveMute(true));
  std::uint32_t volume = 0;
  bool mute = false;
  ASSERT_TRUE(mixer.GetWaveVolume(volume));
  ASSERT_TRUE(mixer.GetWaveMute(mute));
  EXPECT_EQ(volume, 30000u);
  EXPECT_TRUE(mute);

  NoListener listener;
  CPulseWaveOutput output("kestrel volume test stream");
  ASSERT_TRUE(output.Open(WaveFormat{}, &listener));
  ASSERT_TRUE(PumpUntil(
      [&] {
        const auto inputs = OwnSinkInputs();
        return inputs.size() == 1 && inputs[0].volume == ServerVolumeFromMixer(30000) && inputs[0].mute;
      },
      3s))
      << "the held values are applied to the stream that opens";
  EXPECT_EQ(testing::SinkMute(), false) << "the master mute is another control";

  // Another program moves our stream: the wave controls follow.
  const std::uint32_t index = OwnSinkInputs().at(0).index;
  notices.ids.clear();
  ASSERT_TRUE(testing::Pactl({"set-sink-input-volume", QString::number(index), "20000"}));
  ASSERT_TRUE(PumpUntil([&] { return notices.Saw(S::kWaveVolumeId); }, 3s));
  ASSERT_TRUE(mixer.GetWaveVolume(volume));
  EXPECT_EQ(volume, MixerVolumeFromServer(20000));

  ASSERT_TRUE(mixer.SetWaveMute(false));
  EXPECT_FALSE(OwnSinkInputs().at(0).mute);
  output.Close();
  ASSERT_TRUE(PumpUntil([&] { return OwnSinkInputs().empty(); }, 3s));
  ASSERT_TRUE(mixer.GetWaveVolume(volume));
  EXPECT_EQ(volume, MixerVolumeFromServer(20000)) << "kept for the next stream";
}

TEST_F(PulseMixerTest, ThePeakMeterReadsWhatTheSinkPlays) {
  OpenAll();
  NoListener listener;
  CPulseWaveOutput output("kestrel volume test stream");
  ASSERT_TRUE(output.Open(WaveFormat{}, &listener));
  // Two seconds of a loud square wave.
  std::vector<std::int16_t> samples(16000);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = (i / 8) % 2 ? 20000 : -20000;
  for (std::size_t at = 0; at < samples.size(); at += 160) {
    output.Write(reinterpret_cast<const std::uint8_t*>(&samples[at]), 320, 1);
  }
  std::int32_t peak = -1;
  ASSERT_TRUE(mixer.GetWavePeak(peak));
  EXPECT_EQ(peak, 0) << "nothing playing yet";
  output.Restart();
  ASSERT_TRUE(PumpUntil([&] { return mixer.GetWavePeak(peak) && peak > 16000; }, 3s)) << "last peak " << peak;
  EXPECT_LE(peak, 32767);
  output.Reset();
  ASSERT_TRUE(PumpUntil([&] { return mixer.GetWavePeak(peak) && peak == 0; }, 3s)) << "last peak " << peak;
  output.Close();
}

TEST_F(PulseMixerTest, ThePeakStreamRunsOnlyWhileTheMeterIsRead) {
  OpenAll();
  EXPECT_EQ(testing::OwnRecordStreams(), 0u) << "a meter nobody reads has no stream";
  NoListener listener;
  CPulseWaveOutput output("kestrel volume test stream");
  ASSERT_TRUE(output.Open(WaveFormat{}, &listener));
  // Six seconds of a loud square wave, in one write.
  std::vector<std::int16_t> samples(48000);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = (i / 8) % 2 ? 20000 : -20000;
  output.Write(reinterpret_cast<const std::uint8_t*>(samples.data()), samples.size() * 2, 1);
  output.Restart();
  std::int32_t peak = -1;
  ASSERT_TRUE(PumpUntil([&] { return mixer.GetWavePeak(peak) && peak > 16000; }, 3s)) << "last peak " << peak;
  EXPECT_EQ(testing::OwnRecordStreams(), 1u);
  // Not read while the sound goes on (a hidden meter): the stream stops.
  EXPECT_TRUE(PumpUntil([&] { return testing::OwnRecordStreams() == 0; }, 3s));
  // Read again, it delivers again.
  ASSERT_TRUE(PumpUntil([&] { return mixer.GetWavePeak(peak) && peak > 16000; }, 3s)) << "last peak " << peak;
  output.Close();
}

}  // namespace
}  // namespace kestrel
