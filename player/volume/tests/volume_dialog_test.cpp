// CVolumeDialog over the fake mixer service, on the offscreen platform.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "fake_mixer_service.h"
#include "fake_program_launcher.h"
#include "level_meter.h"
#include "meter_periods.h"
#include "pump.h"
#include "recording_message_box.h"
#include "volume_dialog.h"
#include "volume_dialog_template.h"
#include "window_messages.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using testing::CFakeMixerService;
using testing::CFakeProgramLauncher;
using testing::CRecordingMessageBox;
using testing::LetMeterPeriodsPass;
using testing::PumpUntil;
using F = CFakeMixerService;

// Stands in for the sound output's window: counts the closing notices.
class COwnerWindow : public QWidget {
 public:
  int closedNotices = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == EventTypeOf(WM_VOLUME_DIALOG_CLOSED)) {
      ++closedNotices;
      return true;
    }
    return QWidget::event(event);
  }
};

class VolumeDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { service.AddStandardDevice("Fake Speakers"); }

  CVolumeDialog& Create() {
    dialog = std::make_unique<CVolumeDialog>(&owner, VolumeServices{&service, &launcher, &messageBox});
    dialog->Create();
    return *dialog;
  }
  QSlider* Slider(int id) const { return static_cast<QSlider*>(dialog->Control(id)); }
  QCheckBox* Box(int id) const { return static_cast<QCheckBox*>(dialog->Control(id)); }
  CLevelMeter* Meter() const { return static_cast<CLevelMeter*>(dialog->Control(IDC_LEVEL_METER)); }

  CFakeMixerService service;
  CFakeProgramLauncher launcher;
  CRecordingMessageBox messageBox;
  COwnerWindow owner;
  std::unique_ptr<CVolumeDialog> dialog;
};

TEST_F(VolumeDialogTest, StartsHiddenWithTheDeviceNameAndTheVolumesOnTheSliders) {
  Create();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->windowTitle(), "Audio Volume Controls");
  EXPECT_EQ(static_cast<QLabel*>(dialog->Control(IDC_DEVICE_NAME))->text(), "Fake Speakers");
  EXPECT_EQ(Slider(IDC_MASTER_SLIDER)->minimum(), 0);
  EXPECT_EQ(Slider(IDC_MASTER_SLIDER)->maximum(), 65535);
  EXPECT_EQ(Slider(IDC_MASTER_SLIDER)->value(), 40000);
  EXPECT_EQ(Slider(IDC_WAVE_SLIDER)->value(), 50000);
  EXPECT_TRUE(launcher.started.isEmpty());
  // The meter's range is 0 .. the larger magnitude of -32768 and 32767.
  Meter()->SetPos(32768);
  EXPECT_EQ(Meter()->Pos(), 32768);
  Meter()->SetPos(32769);
  EXPECT_EQ(Meter()->Pos(), 32768);
}

TEST_F(VolumeDialogTest, BothMutesAreClearedAtStartAndTheBoxesFollow) {
  service.ExternalChange(F::kMasterMute, 1);
  service.ExternalChange(F::kWaveMute, 1);
  QCoreApplication::processEvents();
  Create();
  EXPECT_EQ(service.Value(F::kMasterMute), 0u);
  EXPECT_EQ(service.Value(F::kWaveMute), 0u);
  EXPECT_TRUE(Box(IDC_MASTER_MUTE)->isChecked()) << "read before the mutes were cleared";
  ASSERT_TRUE(PumpUntil([&] { return !Box(IDC_MASTER_MUTE)->isChecked() && !Box(IDC_WAVE_MUTE)->isChecked(); }, 2s))
      << "the change notices clear the boxes";
}

TEST_F(VolumeDialogTest, TopAndBottomOfTheSlidersAreTheLoudestAndTheQuietest) {
  Create();
  QSlider* master = Slider(IDC_MASTER_SLIDER);
  // An upright slider's maximum is its top.
  master->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(service.Value(F::kMasterVolume), 65535u);
  master->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(service.Value(F::kMasterVolume), 0u);
  Slider(IDC_WAVE_SLIDER)->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(service.Value(F::kWaveVolume), 65535u);
  EXPECT_EQ(service.Value(F::kMasterVolume), 0u);
}

// The style fills the groove from the minimum up to the thumb: that part is
// the volume, short at low volume and at the bottom, as in any volume control.
TEST_F(VolumeDialogTest, TheFilledPartOfEachSliderIsItsVolume) {
  service.ExternalChange(F::kMasterVolume, 6554);  // a tenth
  service.ExternalChange(F::kWaveVolume, 58982);   // nine tenths
  QCoreApplication::processEvents();
  Create();
  dialog->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
  // The rows of the slider's picture that show the fill colour somewhere.
  auto filledRows = [](QSlider* slider) {
    const QImage picture = slider->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The style shades its highlight colour; every shade of it is far bluer
    // than red, unlike the grey groove, thumb and ground.
    std::vector<int> rows;
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) {
        if (qBlue(picture.pixel(x, y)) - qRed(picture.pixel(x, y)) > 80) {
          rows.push_back(y);
          break;
        }
      }
    }
    return rows;
  };
  const std::vector<int> quiet = filledRows(Slider(IDC_MASTER_SLIDER));
  const std::vector<int> loud = filledRows(Slider(IDC_WAVE_SLIDER));
  const int height = Slider(IDC_MASTER_SLIDER)->height();
  ASSERT_FALSE(quiet.empty());
  ASSERT_FALSE(loud.empty());
  EXPECT_GT(quiet.front(), height * 3 / 4) << "a tenth of the volume fills only the bottom of the groove";
  EXPECT_LT(loud.front(), height / 4) << "nine tenths fill it nearly to the top";
  EXPECT_GT(loud.size(), 3 * quiet.size());
}

TEST(VolumeDialogRange, AControlWhoseMinimumIsNotZeroKeepsItsWholeRange) {
  CFakeMixerService service;
  service.AddStandardDevice();
  service.RemoveControl(F::kMasterVolume);
  service.AddControl(MixerControlKind::MasterVolume, MixerControl{F::kMasterVolume, 1000, 9000}, 1000);
  CFakeProgramLauncher launcher;
  CRecordingMessageBox messageBox;
  CVolumeDialog dialog(nullptr, VolumeServices{&service, &launcher, &messageBox});
  dialog.Create();
  auto* master = static_cast<QSlider*>(dialog.Control(IDC_MASTER_SLIDER));
  EXPECT_EQ(master->value(), 1000) << "the quietest value sits at the bottom";
  master->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(service.Value(F::kMasterVolume), 9000u);
  master->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(service.Value(F::kMasterVolume), 1000u);
}

TEST_F(VolumeDialogTest, TheVolumeFollowsTheThumbWhileItIsDraggedAndTheKeysWhereTheyPoint) {
  Create();
  QSlider* master = Slider(IDC_MASTER_SLIDER);
  service.writes.clear();
  master->setSliderDown(true);
  for (const int position : {30000, 20000, 10000}) master->setSliderPosition(position);
  master->setSliderDown(false);
  ASSERT_GE(service.writes.size(), 3u);
  EXPECT_EQ(service.writes[0], std::make_pair(F::kMasterVolume, 30000u));
  EXPECT_EQ(service.writes[1], std::make_pair(F::kMasterVolume, 20000u));
  EXPECT_EQ(service.Value(F::kMasterVolume), 10000u);

  master->setFocus();
  QTest::keyClick(master, Qt::Key_Up);
  EXPECT_GT(service.Value(F::kMasterVolume), 10000u) << "Up makes it louder";
  QTest::keyClick(master, Qt::Key_Down);
  QTest::keyClick(master, Qt::Key_Down);
  EXPECT_LT(service.Value(F::kMasterVolume), 10000u);
}

TEST_F(VolumeDialogTest, ChangesMadeElsewhereMoveTheControlsWithoutBeingWrittenBack) {
  Create();
  QCoreApplication::sendPostedEvents();
  service.writes.clear();
  service.ExternalChange(F::kMasterVolume, 1000);
  service.ExternalChange(F::kWaveVolume, 65535);
  service.ExternalChange(F::kMasterMute, 1);
  service.ExternalChange(F::kWaveMute, 1);
  ASSERT_TRUE(PumpUntil([&] { return Box(IDC_WAVE_MUTE)->isChecked(); }, 2s));
  EXPECT_EQ(Slider(IDC_MASTER_SLIDER)->value(), 1000);
  EXPECT_EQ(Slider(IDC_WAVE_SLIDER)->value(), 65535);
  EXPECT_TRUE(Box(IDC_MASTER_MUTE)->isChecked());
  EXPECT_TRUE(service.writes.empty()) << "a value from the mixer must not go back to it";

  const int readsBefore = service.ReadsOf(F::kMasterVolume);
  service.ExternalChange(F::kWavePeak, 500);  // not one the dialog follows
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(service.ReadsOf(F::kMasterVolume), readsBefore);
}

TEST_F(VolumeDialogTest, AFailedReadLeavesTheControlAsItWas) {
  Create();
  QCoreApplication::sendPostedEvents();
  service.failingReads = {F::kMasterVolume, F::kWaveMute};
  service.ExternalChange(F::kMasterVolume, 1000);
  service.ExternalChange(F::kWaveMute, 1);
  service.ExternalChange(F::kWaveVolume, 0);
  ASSERT_TRUE(PumpUntil([&] { return Slider(IDC_WAVE_SLIDER)->value() == 0; }, 2s));
  EXPECT_EQ(Slider(IDC_MASTER_SLIDER)->value(), 40000);
  EXPECT_FALSE(Box(IDC_WAVE_MUTE)->isChecked());
}

TEST_F(VolumeDialogTest, EachMuteBoxMutesOnlyItsOwnLine) {
  Create();
  QCoreApplication::sendPostedEvents();
  dialog->Show();
  QTest::mouseClick(Box(IDC_WAVE_MUTE), Qt::LeftButton);
  EXPECT_EQ(service.Value(F::kWaveMute), 1u);
  EXPECT_EQ(service.Value(F::kMasterMute), 0u);
  QTest::mouseClick(Box(IDC_MASTER_MUTE), Qt::LeftButton);
  QTest::mouseClick(Box(IDC_WAVE_MUTE), Qt::LeftButton);
  EXPECT_EQ(service.Value(F::kMasterMute), 1u);
  EXPECT_EQ(service.Value(F::kWaveMute), 0u);
}

TEST_F(VolumeDialogTest, TheMeterIsFedWhileShownAndNotWhileHidden) {
  Create();
  service.ExternalChange(F::kWavePeak, static_cast<std::uint32_t>(-12000));
  ASSERT_TRUE(LetMeterPeriodsPass(2));
  EXPECT_EQ(service.ReadsOf(F::kWavePeak), 0) << "hidden after creation: no timer";
  EXPECT_FALSE(dialog->MeterTimerRunning());

  dialog->Show();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->MeterTimerRunning());
  ASSERT_TRUE(PumpUntil([&] { return Meter()->Pos() == 12000; }, 2s)) << "the magnitude of the reading";

  dialog->Hide();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_FALSE(dialog->MeterTimerRunning());
  const int reads = service.ReadsOf(F::kWavePeak);
  service.ExternalChange(F::kWavePeak, 3000);
  ASSERT_TRUE(LetMeterPeriodsPass(3));
  EXPECT_EQ(service.ReadsOf(F::kWavePeak), reads);
  EXPECT_EQ(Meter()->Pos(), 12000);

  dialog->Show();
  ASSERT_TRUE(PumpUntil([&] { return Meter()->Pos() == 3000; }, 2s)) << "continues from the next reading";
}

TEST_F(VolumeDialogTest, ControlsTheMixerLacksAreDisabledAndTheRestWorks) {
  // No wave-output source on the speakers line: no peak meter. No master mute.
  service.RemoveControl(F::kWavePeak);
  service.RemoveControl(F::kMasterMute);
  Create();
  EXPECT_FALSE(Meter()->isEnabled());
  EXPECT_FALSE(Box(IDC_MASTER_MUTE)->isEnabled());
  EXPECT_TRUE(Slider(IDC_MASTER_SLIDER)->isEnabled());
  EXPECT_TRUE(Slider(IDC_WAVE_SLIDER)->isEnabled());
  EXPECT_TRUE(Box(IDC_WAVE_MUTE)->isEnabled());
  dialog->Show();
  ASSERT_TRUE(LetMeterPeriodsPass(2));
  EXPECT_EQ(service.ReadsOf(F::kWavePeak), 0);
  service.ExternalChange(F::kMasterMute, 1);
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(service.ReadsOf(F::kMasterMute), 0) << "an absent control's notice changes nothing";
  Slider(IDC_WAVE_SLIDER)->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(service.Value(F::kWaveVolume), 65535u);
}

TEST_F(VolumeDialogTest, TheCloseBoxAndEscapeHideTheDialogAndTellTheOwner) {
  Create();
  dialog->Show();
  ASSERT_TRUE(dialog->isVisible());
  dialog->close();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_FALSE(dialog->MeterTimerRunning());
  EXPECT_EQ(owner.closedNotices, 1);

  dialog->Show();
  QTest::keyClick(dialog.get(), Qt::Key_Escape);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_FALSE(dialog->MeterTimerRunning());
  EXPECT_EQ(owner.closedNotices, 2);

  dialog->Show();
  QTest::keyClick(dialog.get(), Qt::Key_Return);
  EXPECT_TRUE(dialog->isVisible()) << "Enter presses no button";
  EXPECT_TRUE(launcher.started.isEmpty());
  dialog->Hide();
  EXPECT_EQ(owner.closedNotices, 2) << "a requested hide is no closing";
}

TEST_F(VolumeDialogTest, TheButtonStartsTheSystemVolumeProgramOrSaysItWasNotFound) {
  Create();
  dialog->Show();
  auto* button = static_cast<QPushButton*>(dialog->Control(IDC_SYSTEM_VOLUME));
  EXPECT_EQ(button->text(), "System Volume Controls...");
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(launcher.started, QStringList{"pavucontrol"});
  EXPECT_TRUE(messageBox.texts.isEmpty());

  launcher.startSucceeds = false;
  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_EQ(messageBox.texts.size(), 1);
  EXPECT_EQ(messageBox.texts[0], "System Audio Volume Controls were not found.");
  EXPECT_EQ(messageBox.captions[0], "Kestrel Message Player");
  EXPECT_TRUE(dialog->isVisible());
}

TEST(VolumeDialogWithoutMixer, ShowStartsTheSystemVolumeProgramInsteadAndHideDoesNothing) {
  for (const bool openFails : {false, true}) {
    SCOPED_TRACE(openFails ? "the device fails to open" : "no device");
    CFakeMixerService service;
    service.AddStandardDevice();
    service.deviceCount = openFails ? 1 : 0;
    service.failOpen = openFails;
    CFakeProgramLauncher launcher;
    CRecordingMessageBox messageBox;
    COwnerWindow owner;
    CVolumeDialog dialog(&owner, VolumeServices{&service, &launcher, &messageBox});
    launcher.startSucceeds = false;  // not even a failure is reported before the user asks
    dialog.Create();
    EXPECT_FALSE(dialog.MixerAvailable());
    EXPECT_TRUE(launcher.started.isEmpty());
    EXPECT_TRUE(messageBox.texts.isEmpty());
    launcher.startSucceeds = true;
    dialog.Show();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.MeterTimerRunning());
    EXPECT_EQ(launcher.started, QStringList{"pavucontrol"});
    dialog.Hide();
    EXPECT_EQ(launcher.started.size(), 1);
    EXPECT_EQ(owner.closedNotices, 0);

    launcher.startSucceeds = false;
    dialog.Show();
    ASSERT_EQ(messageBox.texts.size(), 1);
    EXPECT_EQ(messageBox.texts[0], "System Audio Volume Controls were not found.");
  }
}

TEST_F(VolumeDialogTest, ItIsShownBesideTheMainWindow) {
  QWidget main;
  main.setGeometry(100, 100, 300, 200);
  auto* soundOutput = new COwnerWindow;
  soundOutput->setParent(&main);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  CVolumeDialog beside(soundOutput, VolumeServices{&service, &launcher, &messageBox});
  beside.Create();
  beside.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&beside));
  EXPECT_GT(beside.frameGeometry().left(), main.frameGeometry().right());
  EXPECT_EQ(beside.frameGeometry().top(), main.frameGeometry().top());
  beside.Hide();
}

}  // namespace
}  // namespace kestrel
