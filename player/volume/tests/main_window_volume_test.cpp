// The main window's Volume button over the real volume dialog, made by the
// sound output from the fake mixer: the latch and the tool tip follow the
// dialog, with a mixer and without one.
#include <gtest/gtest.h>

#include <QTest>

#include "fake_mixer_service.h"
#include "fake_program_launcher.h"
#include "image_button.h"
#include "player_window_fixture.h"
#include "tool_tip.h"
#include "volume_dialog.h"
#include "volume_dialog_factory.h"

namespace kestrel {
namespace {

class MainWindowVolumeTest : public ::testing::Test, public testing::PlayerDevices {
 protected:
  void Open() {
    const VolumeServices volume{&mixer, &launcher, &box};
    PlayerServices services = Services();
    services.playback.volumeDialog = [volume](QWidget* owner) { return CreateVolumeDialog(owner, volume); };
    window = std::make_unique<CPlayerDlg>(services);
    window->show();
    dialog = window->findChild<CVolumeDialog*>();
    ASSERT_NE(dialog, nullptr) << "the sound output makes its dialog with the window";
  }
  void PressVolume() { QTest::mouseClick(&window->VolumeButton(), Qt::LeftButton); }
  QString VolumeTip() const { return window->VolumeButton().ToolTip()->Text(); }

  testing::CFakeMixerService mixer;
  testing::CFakeProgramLauncher launcher;
  std::unique_ptr<CPlayerDlg> window;
  CVolumeDialog* dialog = nullptr;
};

TEST_F(MainWindowVolumeTest, TheButtonLatchesWhileTheDialogIsShownAndItsCloseBoxUnlatchesIt) {
  mixer.AddStandardDevice();
  Open();
  PressVolume();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(window->VolumeButton().IsLatched());
  EXPECT_EQ(VolumeTip(), "Close Audio Volume Controls");
  dialog->close();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_FALSE(window->VolumeButton().IsLatched());
  EXPECT_EQ(VolumeTip(), "Open Audio Volume Controls");
  PressVolume();
  PressVolume();
  EXPECT_FALSE(dialog->isVisible()) << "the latched button hides it";
  EXPECT_FALSE(window->VolumeButton().IsLatched());
}

TEST_F(MainWindowVolumeTest, WithoutAMixerTheButtonStillLatchesAndStartsTheSystemVolumeProgram) {
  Open();
  ASSERT_EQ(launcher.started.size(), 1) << "started once when the window was made";
  PressVolume();
  EXPECT_EQ(launcher.started.size(), 2);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_TRUE(window->VolumeButton().IsLatched());
  PressVolume();
  EXPECT_EQ(launcher.started.size(), 2) << "the press that would hide it does nothing";
  EXPECT_FALSE(window->VolumeButton().IsLatched());
}

}  // namespace
}  // namespace kestrel
