#include "volume_dialog.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimerEvent>

#include "dialog_units.h"
#include "level_meter.h"
#include "message_box.h"
#include "mixer.h"
#include "mixer_control_change_event.h"
#include "program_launcher.h"
#include "string_table.h"
#include "volume_dialog_template.h"
#include "window_messages.h"

namespace kestrel {

namespace {

constexpr int kGapBesideMainWindow = 8;

// The slider's value is the volume itself. An upright slider has its
// minimum at the bottom, so the loudest setting sits at the top and the
// style's filled part of the groove, from the bottom up to the thumb, is
// the volume, as in any volume control. (Mirrored positions on an inverted
// slider would fill the groove from the top: full at low volume.)
int PositionOf(std::uint32_t value) { return static_cast<int>(value); }

std::uint32_t ValueOf(int position) { return static_cast<std::uint32_t>(position); }

// A step of one unit in 65535 would not be heard: the arrow keys move by a
// hundredth of the range, Page Up and Down and the ticks by a fifth.
void SetSliderRange(QSlider* slider, std::uint32_t minimum, std::uint32_t maximum) {
  slider->setRange(static_cast<int>(minimum), static_cast<int>(maximum));
  const int range = static_cast<int>(maximum - minimum);
  slider->setSingleStep(std::max(1, range / 100));
  slider->setPageStep(std::max(1, range / 5));
  slider->setTickInterval(std::max(1, range / 5));
}

}  // namespace

CVolumeDialog::CVolumeDialog(QWidget* owner, const VolumeServices& services)
    : QDialog(owner), owner_(owner), services_(services) {}

CVolumeDialog::~CVolumeDialog() {
  if (timerId_) killTimer(timerId_);
  timerId_ = 0;
  // Closed before the window goes, so that no notice is posted to it after.
  if (mixer_) mixer_->Close();
  mixer_.reset();
}

void CVolumeDialog::Create() {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setModal(false);
  setWindowTitle(QString::fromLatin1(kVolumeDialogTitle));
  setFont(CDialogUnits::DialogFont());
  BuildControls();
  Initialise();
}

void CVolumeDialog::BuildControls() {
  const CDialogUnits units(font());
  setFixedSize(units.X(kVolumeDialogWidth), units.Y(kVolumeDialogHeight));
  for (const VolumeControlTemplate& control : VolumeDialogControls()) {
    const QString text = QString::fromLatin1(control.text);
    QWidget* widget = nullptr;
    switch (control.kind) {
      case VolumeControlKind::CentredText:
      case VolumeControlKind::Label: {
        auto* label = new QLabel(text, this);
        label->setAlignment(control.kind == VolumeControlKind::CentredText ? Qt::AlignCenter
                                                                           : Qt::AlignHCenter | Qt::AlignTop);
        if (control.id == IDC_DEVICE_NAME) deviceName_ = label;
        widget = label;
        break;
      }
      case VolumeControlKind::HorizontalRule:
      case VolumeControlKind::VerticalRule: {
        auto* rule = new QFrame(this);
        rule->setFrameStyle((control.kind == VolumeControlKind::HorizontalRule ? QFrame::HLine : QFrame::VLine) |
                            QFrame::Sunken);
        widget = rule;
        break;
      }
      case VolumeControlKind::VerticalSlider: {
        auto* slider = new QSlider(Qt::Vertical, this);
        slider->setTickPosition(QSlider::TicksBothSides);
        slider->setFocusPolicy(Qt::StrongFocus);
        // Every scroll action, the thumb's drag included, sets the volume;
        // positions set from the mixer's values do not come back here.
        connect(slider, &QAbstractSlider::actionTriggered, this, [this, slider](int) { OnVerticalScroll(slider); });
        connect(slider, &QAbstractSlider::sliderReleased, this, [this, slider] { OnVerticalScroll(slider); });
        if (control.id == IDC_MASTER_SLIDER) masterSlider_ = slider;
        if (control.id == IDC_WAVE_SLIDER) waveSlider_ = slider;
        widget = slider;
        break;
      }
      case VolumeControlKind::CheckBox: {
        auto* box = new QCheckBox(text, this);
        connect(box, &QCheckBox::clicked, this, [this, box](bool ticked) { OnMuteClicked(box, ticked); });
        if (control.id == IDC_MASTER_MUTE) masterMute_ = box;
        if (control.id == IDC_WAVE_MUTE) waveMute_ = box;
        widget = box;
        break;
      }
      case VolumeControlKind::LevelMeter:
        widget = levelMeter_ = new CLevelMeter(this);
        break;
      case VolumeControlKind::PushButton: {
        auto* button = new QPushButton(text, this);
        // The template has no default button: Enter presses nothing.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this] { StartSystemVolumeProgram(); });
        widget = systemVolume_ = button;
        break;
      }
    }
    widget->setGeometry(units.ToPixels(control.x, control.y, control.width, control.height));
  }
}

QWidget* CVolumeDialog::Control(int id) const {
  switch (id) {
    case IDC_DEVICE_NAME:
      return deviceName_;
    case IDC_MASTER_SLIDER:
      return masterSlider_;
    case IDC_MASTER_MUTE:
      return masterMute_;
    case IDC_WAVE_SLIDER:
      return waveSlider_;
    case IDC_WAVE_MUTE:
      return waveMute_;
    case IDC_LEVEL_METER:
      return levelMeter_;
    case IDC_SYSTEM_VOLUME:
      return systemVolume_;
    default:
      return nullptr;
  }
}

void CVolumeDialog::Initialise() {
  mixer_ = std::make_unique<CMixer>(this, *services_.mixer);
  if (!mixer_->Open(0)) {
    // Nothing is said at start-up: the user learns of the missing mixer
    // when asking for the volume controls (Show).
    mixerAvailable_ = false;
    return;
  }
  std::string name;
  if (mixer_->GetDeviceName(name)) deviceName_->setText(QString::fromStdString(name));

  std::uint32_t volume = 0;
  if (mixer_->FindMasterVolume()) {
    SetSliderRange(masterSlider_, mixer_->MasterVolumeMinimum(), mixer_->MasterVolumeMaximum());
    if (mixer_->GetMasterVolume(volume)) {
      masterSlider_->setValue(PositionOf(volume));
    }
  } else {
    masterSlider_->setEnabled(false);
  }

  bool muted = false;
  if (!mixer_->FindMasterMute()) {
    masterMute_->setEnabled(false);
  } else if (mixer_->GetMasterMute(muted)) {
    masterMute_->setChecked(muted);
  }

  if (mixer_->FindWaveVolume()) {
    SetSliderRange(waveSlider_, mixer_->WaveVolumeMinimum(), mixer_->WaveVolumeMaximum());
    if (mixer_->GetWaveVolume(volume)) {
      waveSlider_->setValue(PositionOf(volume));
    }
  } else {
    waveSlider_->setEnabled(false);
  }

  if (mixer_->FindWavePeakMeter()) {
    const int top = std::max(std::abs(mixer_->WavePeakMeterMinimum()), std::abs(mixer_->WavePeakMeterMaximum()));
    levelMeter_->SetRange(0, top);
  } else {
    levelMeter_->setEnabled(false);
  }

  if (!mixer_->FindWaveMute()) {
    waveMute_->setEnabled(false);
  } else if (mixer_->GetWaveMute(muted)) {
    waveMute_->setChecked(muted);
  }

  // The player always starts unmuted; the change notices that follow clear
  // the boxes.
  mixer_->SetMasterMute(false);
  mixer_->SetWaveMute(false);
}

void CVolumeDialog::Show() {
  if (!mixerAvailable_) {
    StartSystemVolumeProgram();
    return;
  }
  if (!placed_) PlaceBesideMainWindow();
  show();
  raise();
  activateWindow();
  if (!timerId_) timerId_ = startTimer(kMeterPeriodMs);
}

void CVolumeDialog::Hide() {
  if (!mixerAvailable_) return;
  hide();
  if (timerId_) killTimer(timerId_);
  timerId_ = 0;
}

void CVolumeDialog::PlaceBesideMainWindow() {
  placed_ = true;
  QWidget* main = owner_ ? owner_->window() : nullptr;
  if (!main || main == this || !main->isVisible()) return;
  const QRect frame = main->frameGeometry();
  QPoint at(frame.right() + 1 + kGapBesideMainWindow, frame.top());
  if (const QScreen* screen = main->screen()) {
    const QRect room = screen->availableGeometry();
    if (at.x() + width() > room.right()) at.setX(frame.left() - kGapBesideMainWindow - width());
  }
  move(at);
}

void CVolumeDialog::timerEvent(QTimerEvent* event) {
  if (event->timerId() != timerId_ || timerId_ == 0) return;
  std::int32_t peak = 0;
  if (mixer_->GetWavePeak(peak)) levelMeter_->SetPos(static_cast<int>(std::abs(static_cast<std::int64_t>(peak))));
}

void CVolumeDialog::OnVerticalScroll(QSlider* slider) {
  const int position = slider->sliderPosition();
  if (slider == masterSlider_) {
    mixer_->SetMasterVolume(ValueOf(position));
  } else if (slider == waveSlider_) {
    mixer_->SetWaveVolume(ValueOf(position));
  }
}

void CVolumeDialog::OnMuteClicked(QCheckBox* box, bool ticked) {
  if (box == masterMute_) mixer_->SetMasterMute(ticked);
  if (box == waveMute_) mixer_->SetWaveMute(ticked);
}

bool CVolumeDialog::event(QEvent* event) {
  if (event->type() == CMixerControlChangeEvent::kType) {
    OnControlChange(static_cast<CMixerControlChangeEvent*>(event)->ControlId());
    return true;
  }
  return QDialog::event(event);
}

void CVolumeDialog::OnControlChange(std::uint32_t controlId) {
  if (!mixer_) return;
  std::uint32_t volume = 0;
  bool muted = false;
  if (mixer_->MasterVolumeId() == controlId) {
    if (mixer_->GetMasterVolume(volume)) {
      masterSlider_->setValue(PositionOf(volume));
    }
  } else if (mixer_->MasterMuteId() == controlId) {
    if (mixer_->GetMasterMute(muted)) masterMute_->setChecked(muted);
  } else if (mixer_->WaveVolumeId() == controlId) {
    if (mixer_->GetWaveVolume(volume)) {
      waveSlider_->setValue(PositionOf(volume));
    }
  } else if (mixer_->WaveMuteId() == controlId) {
    if (mixer_->GetWaveMute(muted)) waveMute_->setChecked(muted);
  }
}

void CVolumeDialog::StartSystemVolumeProgram() {
  if (services_.launcher->Start(LoadString(IDS_SYSTEM_VOLUME_PROGRAM))) return;
  services_.messageBox->ShowStop(VisibleParent(), LoadString(IDS_APP_TITLE), LoadString(IDS_SYSTEM_VOLUME_MISSING));
}

QWidget* CVolumeDialog::VisibleParent() const {
  // A box over a hidden window opens in the screen's corner: over this
  // dialog while it is shown, else over the main window, else centred on
  // the screen.
  if (isVisible()) return const_cast<CVolumeDialog*>(this);
  QWidget* main = owner_ ? owner_->window() : nullptr;
  return main && main->isVisible() ? main : nullptr;
}

void CVolumeDialog::closeEvent(QCloseEvent* event) {
  // The dialog lives on, hidden; Hide has already hidden it.
  event->ignore();
  OnCloseRequest();
}

void CVolumeDialog::reject() { OnCloseRequest(); }

void CVolumeDialog::OnCloseRequest() {
  Hide();
  if (owner_) {
    QEvent closed(EventTypeOf(WM_VOLUME_DIALOG_CLOSED));
    QCoreApplication::sendEvent(owner_, &closed);
  }
}

}  // namespace kestrel
