// The volume dialog behind the sound output: the main window's requests
// reach it through CWaveDevice, and its closing comes back the same way.
#include <gtest/gtest.h>

#include <QEvent>
#include <QWidget>

#include "fake_mixer_service.h"
#include "fake_program_launcher.h"
#include "recording_message_box.h"
#include "silent_wave_output.h"
#include "volume_dialog.h"
#include "wave_device.h"
#include "window_messages.h"

namespace kestrel {
namespace {

class CMainWindow : public QWidget {
 public:
  int volumeClosed = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == EventTypeOf(WM_VOLUME_DIALOG_CLOSED)) {
      ++volumeClosed;
      return true;
    }
    return QWidget::event(event);
  }
};

TEST(SoundOutputVolume, RequestsReachTheDialogAndItsClosingReachesTheMainWindow) {
  testing::CFakeMixerService service;
  service.AddStandardDevice();
  testing::CFakeProgramLauncher launcher;
  testing::CRecordingMessageBox messageBox;
  CSilentWaveOutput output;
  CSilentWaveOutput fallback;
  CMainWindow main;
  auto* device = new CWaveDevice(&main, nullptr, 160, 20, 2, 8000, output, fallback);
  auto* dialog = new CVolumeDialog(device, VolumeServices{&service, &launcher, &messageBox});
  dialog->Create();
  device->SetVolumeDialog(dialog);

  device->ShowVolumeDialog(true);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->MeterTimerRunning());
  device->ShowVolumeDialog(false);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(main.volumeClosed, 0);

  device->ShowVolumeDialog(true);
  dialog->close();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(main.volumeClosed, 1);

  delete device;  // takes the dialog, its child, with it
  EXPECT_FALSE(service.IsOpen());
}

}  // namespace
}  // namespace kestrel
