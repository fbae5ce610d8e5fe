// The main window's Volume button over the real volume dialog, made by the
// sound output from the fake mixer: the latch and the tool tip follow the
// dialog, with a mixer and without one.
#include <gtest/gtest.h>

#include <QTest>

#include "fake_mixer_service.h"
#include "fake_program_launcher.h"
#include "image_button.h"
#include "player_window_fixture.h"
#include "string_table.h"
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

TEST_F(MainWindowVolumeTest, WithoutASoundServerOneBoxOverTheMainWindowAndTheMixerOnlyWhenAskedFor) {
  output.SetOpenFails(true);
  Open();
  EXPECT_TRUE(launcher.started.isEmpty()) << "nothing is started or reported before Volume is pressed";
  EXPECT_TRUE(box.texts.isEmpty());
  window->OpenFromPath(testing::Sample("voice.qrv"));
  ASSERT_EQ(box.texts.size(), 1);
  EXPECT_EQ(box.texts[0], LoadString(IDS_CANNOT_OPEN_AUDIO));
  EXPECT_EQ(box.parents[0], window.get());
  EXPECT_TRUE(window->IsPlaying()) << "the message plays on without sound";
  EXPECT_TRUE(launcher.started.isEmpty());
  PressVolume();
  EXPECT_EQ(launcher.started.size(), 1);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_TRUE(window->VolumeButton().IsLatched());
  PressVolume();
  EXPECT_EQ(launcher.started.size(), 1) << "the press that would hide it does nothing";
  EXPECT_FALSE(window->VolumeButton().IsLatched());
}

}  // namespace
}  // namespace kestrel
