// The volume dialog owned by the sound output: CWaveDevice passes the main
// window's requests to it and its closing back, and deletes it with itself.
#include <gtest/gtest.h>

#include <QEvent>
#include <QWidget>

#include "fake_mixer_service.h"
#include "fake_program_launcher.h"
#include "recording_message_box.h"
#include "silent_wave_output.h"
#include "volume_dialog.h"
#include "volume_dialog_factory.h"
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

TEST(SoundOutputVolume, TheDeviceOwnsItsDialogAndPassesRequestsAndTheClosingOn) {
  testing::CFakeMixerService service;
  service.AddStandardDevice();
  testing::CFakeProgramLauncher launcher;
  testing::CRecordingMessageBox messageBox;
  const VolumeServices volume{&service, &launcher, &messageBox};
  CSilentWaveOutput output;
  CSilentWaveOutput fallback;
  CMainWindow main;
  auto* device = new CWaveDevice(&main, nullptr, 160, 20, 2, 8000, output, fallback);
  device->AdoptVolumeDialog(CreateVolumeDialog(device, volume));
  auto* dialog = device->findChild<CVolumeDialog*>();
  ASSERT_NE(dialog, nullptr) << "the device's window owns the dialog";
  EXPECT_TRUE(service.IsOpen()) << "the mixer opens when the dialog is created";
  EXPECT_FALSE(dialog->isVisible());

  device->ShowVolumeDialog(true);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->MeterTimerRunning());
  device->ShowVolumeDialog(false);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(main.volumeClosed, 0) << "a requested hide is no closing";

  device->ShowVolumeDialog(true);
  dialog->close();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(main.volumeClosed, 1);

  delete device;
  EXPECT_FALSE(service.IsOpen()) << "the dialog and its mixer go with the device";
}

}  // namespace
}  // namespace kestrel
