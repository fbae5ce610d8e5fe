// The volume dialog over the PulseAudio mixer service, against the private
// server of scripts/test-services.sh: pactl stands for the other programs.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include <QCheckBox>
#include <QSlider>
#include <QTest>

#include "detached_program_launcher.h"
#include "fake_program_launcher.h"
#include "level_meter.h"
#include "meter_periods.h"
#include "mixer_volume_scale.h"
#include "playback_panel.h"
#include "playback_services.h"
#include "pulse_mixer_service.h"
#include "pulse_test_support.h"
#include "pulse_wave_output.h"
#include "pump.h"
#include "recording_message_box.h"
#include "volume_dialog.h"
#include "volume_dialog_template.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using testing::OwnSinkInputs;
using testing::PumpUntil;

struct NoListener : IWaveOutputListener {
  void OnBufferFinished(std::uint32_t) override {}
  void OnDeviceLost() override {}
};

class PulseVolumeDialogTest : public ::testing::Test {
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

  CVolumeDialog& Create() {
    dialog = std::make_unique<CVolumeDialog>(&owner, VolumeServices{&service, &launcher, &messageBox});
    dialog->Create();
    return *dialog;
  }
  QSlider* Slider(int id) const { return static_cast<QSlider*>(dialog->Control(id)); }
  QCheckBox* Box(int id) const { return static_cast<QCheckBox*>(dialog->Control(id)); }

  CPulseMixerService service{"kestrel volume dialog test"};
  testing::CFakeProgramLauncher launcher;
  testing::CRecordingMessageBox messageBox;
  QWidget owner;
  std::unique_ptr<CVolumeDialog> dialog;
};

TEST_F(PulseVolumeDialogTest, PactlMovesTheMasterSliderAndTheSliderMovesTheSink) {
  Create();
  ASSERT_TRUE(dialog->MixerAvailable());
  EXPECT_TRUE(launcher.started.isEmpty());
  EXPECT_EQ(Slider(IDC_MASTER_SLIDER)->value(), 65535) << "full volume";
  dialog->Show();

  ASSERT_TRUE(testing::SetSinkVolume(19661));
  const int expected = static_cast<int>(MixerVolumeFromServer(19661));
  ASSERT_TRUE(PumpUntil([&] { return Slider(IDC_MASTER_SLIDER)->value() == expected; }, 3s))
      << "slider at " << Slider(IDC_MASTER_SLIDER)->value();

  QSlider* master = Slider(IDC_MASTER_SLIDER);
  master->setSliderDown(true);
  master->setSliderPosition(32768);
  master->setSliderDown(false);
  EXPECT_EQ(testing::SinkVolume(), ServerVolumeFromMixer(32768));
  master->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(testing::SinkVolume(), 0u);
  // The notices of our own changes leave the slider where the user put it:
  // they are in once the box has followed a later change, as the server
  // reports in order.
  ASSERT_TRUE(testing::SetSinkMute(true));
  ASSERT_TRUE(PumpUntil([&] { return Box(IDC_MASTER_MUTE)->isChecked(); }, 3s));
  EXPECT_EQ(master->value(), 0);
  EXPECT_EQ(testing::SinkVolume(), 0u);
}

TEST_F(PulseVolumeDialogTest, OpeningUnmutesBothEvenWhenTheyWereMuted) {
  ASSERT_TRUE(testing::SetSinkMute(true));
  Create();
  EXPECT_EQ(testing::SinkMute(), false);
  ASSERT_TRUE(PumpUntil([&] { return !Box(IDC_MASTER_MUTE)->isChecked(); }, 3s));
  EXPECT_FALSE(Box(IDC_WAVE_MUTE)->isChecked());
}

TEST_F(PulseVolumeDialogTest, SpeakersVolumeMuteMutesOnlyThePlayersStream) {
  NoListener listener;
  CPulseWaveOutput output("kestrel volume dialog test stream");
  ASSERT_TRUE(output.Open(WaveFormat{}, &listener));
  ASSERT_TRUE(PumpUntil([&] { return OwnSinkInputs().size() == 1; }, 3s));
  Create();
  dialog->Show();
  // What opening wrote to the stream has been reported once the master
  // slider has followed a later change.
  ASSERT_TRUE(testing::SetSinkVolume(30000));
  const int settled = static_cast<int>(MixerVolumeFromServer(30000));
  ASSERT_TRUE(PumpUntil([&] { return Slider(IDC_MASTER_SLIDER)->value() == settled; }, 3s));
  QTest::mouseClick(Box(IDC_WAVE_MUTE), Qt::LeftButton);
  ASSERT_TRUE(Box(IDC_WAVE_MUTE)->isChecked());
  ASSERT_EQ(OwnSinkInputs().size(), 1u);
  EXPECT_TRUE(OwnSinkInputs()[0].mute);
  EXPECT_EQ(testing::SinkMute(), false);
  EXPECT_FALSE(Box(IDC_MASTER_MUTE)->isChecked());

  // pactl unmutes the stream: the box follows.
  ASSERT_TRUE(testing::Pactl({"set-sink-input-mute", QString::number(OwnSinkInputs()[0].index), "0"}));
  ASSERT_TRUE(PumpUntil([&] { return !Box(IDC_WAVE_MUTE)->isChecked(); }, 3s));
  output.Close();
}

TEST_F(PulseVolumeDialogTest, TheMeterShowsTheDemoPlayingAndZeroWhenItIsPaused) {
  CDefaultPlaybackServices playback;
  CPlaybackPanel panel(nullptr, playback.Services());
  ASSERT_TRUE(panel.Open(QStringLiteral(KESTREL_SAMPLES_DIR "/demo.qrv")));
  Create();
  dialog->Show();
  auto* meter = static_cast<CLevelMeter*>(dialog->Control(IDC_LEVEL_METER));
  ASSERT_TRUE(testing::LetMeterPeriodsPass(6));
  EXPECT_EQ(meter->Pos(), 0) << "nothing plays yet";
  panel.Play();
  ASSERT_TRUE(PumpUntil([&] { return meter->Pos() > 0; }, 5s));
  panel.Pause();
  ASSERT_TRUE(PumpUntil([&] { return meter->Pos() == 0; }, 3s)) << "meter at " << meter->Pos();
  ASSERT_TRUE(testing::LetMeterPeriodsPass(6));
  EXPECT_EQ(meter->Pos(), 0);
  panel.Close();
}

TEST_F(PulseVolumeDialogTest, WithoutAServerTheSystemVolumeProgramIsStartedInstead) {
  const std::string keep = std::getenv("PULSE_SERVER");
  setenv("PULSE_SERVER", "unix:/nonexistent/kestrel-no-server", 1);
  CPulseMixerService absent("kestrel volume dialog test");
  CVolumeDialog lonely(&owner, VolumeServices{&absent, &launcher, &messageBox});
  lonely.Create();
  setenv("PULSE_SERVER", keep.c_str(), 1);
  EXPECT_FALSE(lonely.MixerAvailable());
  EXPECT_TRUE(launcher.started.isEmpty()) << "not before the user asks for the volume controls";
  lonely.Show();
  EXPECT_FALSE(lonely.isVisible());
  EXPECT_EQ(launcher.started, QStringList{"pavucontrol"});
}

}  // namespace
}  // namespace kestrel
