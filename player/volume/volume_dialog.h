// The player's own volume panel (template 137): sliders and mute boxes for
// the master and the wave-output volume, a level meter of the wave output,
// the mixer's name and a button that starts the system volume program.
// A modeless dialog that stays, hidden, for as long as its owner, the sound
// output, exists; it follows changes made by any program through the
// mixer's change notices.
#pragma once

#include <memory>

#include <QDialog>

#include "volume_dialog_hook.h"
#include "volume_services.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace kestrel {

class CLevelMeter;
class CMixer;

class CVolumeDialog : public QDialog, public IVolumeDialogHook {
  Q_OBJECT
 public:
  // `owner` receives WM_VOLUME_DIALOG_CLOSED; the services outlive the
  // dialog. Nothing is opened until Create.
  CVolumeDialog(QWidget* owner, const VolumeServices& services);
  ~CVolumeDialog() override;

  // Builds the hidden dialog and opens the mixer. Without a mixer every
  // Show starts the system volume program instead.
  void Create();

  static constexpr int kMeterPeriodMs = 50;

  // Shows the dialog and feeds the level meter every kMeterPeriodMs while
  // shown.
  void Show() override;
  // Hides the dialog and stops the meter's timer; nothing without a mixer.
  void Hide() override;

  bool MixerAvailable() const { return mixerAvailable_; }
  bool MeterTimerRunning() const { return timerId_ != 0; }
  // The control of template 137 with that id, or nullptr.
  QWidget* Control(int id) const;

 protected:
  bool event(QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // Escape: the same as the close box.
  void reject() override;

 private:
  void BuildControls();
  void Initialise();
  void OnVerticalScroll(QSlider* slider);
  void OnMuteClicked(QCheckBox* box, bool ticked);
  void OnControlChange(std::uint32_t controlId);
  void StartSystemVolumeProgram();
  QWidget* VisibleParent() const;
  void OnCloseRequest();
  void PlaceBesideMainWindow();

  QWidget* owner_;
  VolumeServices services_;
  std::unique_ptr<CMixer> mixer_;
  bool mixerAvailable_ = true;
  int timerId_ = 0;
  bool placed_ = false;

  QLabel* deviceName_ = nullptr;
  QSlider* masterSlider_ = nullptr;
  QCheckBox* masterMute_ = nullptr;
  QSlider* waveSlider_ = nullptr;
  QCheckBox* waveMute_ = nullptr;
  CLevelMeter* levelMeter_ = nullptr;
  QPushButton* systemVolume_ = nullptr;
};

}  // namespace kestrel
