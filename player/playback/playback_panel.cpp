#include "playback_panel.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>

#include "audio_decoder.h"
#include "dialog_units.h"
#include "message_box.h"
#include "message_format.h"
#include "playback_panel_template.h"
#include "playing_time.h"
#include "progress_bar.h"
#include "string_table.h"
#include "ui_wake.h"
#include "volume_dialog_hook.h"
#include "video_decoder_api.h"
#include "video_window.h"
#include "wave_device.h"
#include "waveform_scope.h"
#include "window_messages.h"

namespace kestrel {

namespace {
constexpr int kStartThreshold = 20;
constexpr int kInitialFrameRate = 5;
constexpr int kPictureQueueCapacity = 20;
constexpr int kProgressLag = 88;
constexpr int kVideoQuality = 3;
constexpr int kFramesPerSecond = 1000 / kAudioFrameMilliseconds;
}  // namespace

CPlaybackPanel::CPlaybackPanel(QWidget* parent, const PlaybackServices& services)
    : QWidget(parent), services_(services), scanBuffer_(new std::uint8_t[kPayloadBufferBytes]) {
  setFont(CDialogUnits::DialogFont());
  BuildControls();

  scope_ = new CWaveformScope();
  scope_->Create(false, display_->contentsRect(), display_, 0);
  scope_->SetBackgroundColor(Rgb(0, 0, 0));
  scope_->SetGridColor(Rgb(31, 31, 31));
  scope_->SetPlotColor(Rgb(0, 255, 0));
  scope_->SetShiftPixels(2);
  scope_->SetRange(0.0f, 2.0f, true);

  soundOutput_ = new CWaveDevice(display_, this, kSamplesPerAudioFrame, kStartThreshold, 2, kSampleRate,
                                 *services_.soundOutput, *services_.silentOutput);
  if (services_.volumeDialog) soundOutput_->AdoptVolumeDialog(services_.volumeDialog(soundOutput_));
  videoWindow_ = new CVideoWindow(display_, this, kPictureWidth, kPictureHeight, kInitialFrameRate,
                                  kPictureQueueCapacity, *services_.clock);
  endWake_ = new CUiWake([this] { EndIfFinished(); }, this);
}

CPlaybackPanel::~CPlaybackPanel() { Close(); }

void CPlaybackPanel::BuildControls() {
  const CDialogUnits units(font());
  resize(units.X(kPlaybackPanelWidth), units.Y(kPlaybackPanelHeight));
  for (const ControlTemplate& control : PlaybackPanelControls()) {
    const QRect rect = units.ToPixels(control.x, control.y, control.width, control.height);
    QWidget* widget = nullptr;
    switch (control.kind) {
      case ControlKind::ProgressBar:
        widget = progress_ = new CProgressBar(this);
        break;
      case ControlKind::Frame: {
        auto* frame = new QFrame(this);
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setLineWidth(1);
        widget = display_ = frame;
        break;
      }
      case ControlKind::Caption:
      case ControlKind::Value: {
        auto* label = new QLabel(QString::fromLatin1(control.text), this);
        if (control.kind == ControlKind::Value) {
          label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
          label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        } else {
          label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        }
        widget = label;
        if (control.id == IDC_TOTAL_CAPTION) totalCaption_ = label;
        if (control.id == IDC_TOTAL_TIME) totalLabel_ = label;
        if (control.id == IDC_CURRENT_CAPTION) currentCaption_ = label;
        if (control.id == IDC_CURRENT_TIME) currentLabel_ = label;
        break;
      }
    }
    widget->setGeometry(rect);
  }
}

void CPlaybackPanel::SetDisplayMode(DisplayMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  const bool shown = mode != DisplayMode::None;
  for (QWidget* widget : {static_cast<QWidget*>(progress_), static_cast<QWidget*>(display_),
                          static_cast<QWidget*>(totalCaption_), static_cast<QWidget*>(totalLabel_),
                          static_cast<QWidget*>(currentCaption_), static_cast<QWidget*>(currentLabel_)}) {
    widget->setVisible(shown);
  }
  scope_->setVisible(mode == DisplayMode::Scope);
  videoWindow_->setVisible(mode == DisplayMode::Video);
  update();
}

QString CPlaybackPanel::TotalText() const { return totalLabel_->text(); }
QString CPlaybackPanel::CurrentText() const { return currentLabel_->text(); }

void CPlaybackPanel::SetTimeLabel(QLabel* label, std::uint64_t audioFrames) {
  std::array<char, 64> text{};
  FormatPlayingTime(text.data(), text.size(), audioFrames);
  label->setText(QString::fromLatin1(text.data()));
}

std::uint32_t CPlaybackPanel::CountSilentFrames() {
  // A message with pictures and no sound lasts as long as its pictures.
  std::uint64_t pictures = 0;
  bool sound = false;
  for (;;) {
    const Record record = file_.ReadRecord(scanBuffer_.get());
    if (record.kind == RecordKind::EndOfData) break;
    if (record.kind == RecordKind::Video) ++pictures;
    if (record.kind == RecordKind::Audio) sound = true;
  }
  file_.Rewind();
  if (sound) return 0;  // only the header's count was missing
  return static_cast<std::uint32_t>(pictures * kFramesPerSecond / frameRate_);
}

bool CPlaybackPanel::Open(const QString& path) {
  if (file_.IsOpen()) Close();
  if (file_.Open(path.toLocal8Bit().constData()) != OpenResult::Ok) {
    Close();
    return false;
  }
  frameRate_ = file_.FrameRate();
  SetDisplayMode(frameRate_ == 0 ? DisplayMode::Scope : DisplayMode::Video);
  audioFrameCount_ = file_.AudioFrameCount();
  int silentPictureRate = 0;
  if (frameRate_ > 0 && audioFrameCount_ == 0) {
    audioFrameCount_ = CountSilentFrames();
    if (audioFrameCount_ > 0) silentPictureRate = frameRate_;
  }

  SetTimeLabel(totalLabel_, audioFrameCount_);
  progress_->SetTotal(static_cast<int>(audioFrameCount_));
  progress_->SetLag(kProgressLag);
  heard_ = 0;
  SetTimeLabel(currentLabel_, 0);
  dataStart_ = file_.DataStart();

  if (!soundOutput_->Open()) {
    // The message still plays: the sound output keeps time without sound.
    services_.messageBox->ShowStop(this, LoadString(IDS_APP_TITLE), LoadString(IDS_CANNOT_OPEN_AUDIO));
  }
  audioDecoder_ = CreateAudioDecoder();
  if (mode_ == DisplayMode::Video) {
    videoWindow_->SetFrameRate(frameRate_);
    InitVideoDecoder();
    SetVideoQuality(kVideoQuality);
  }
  playing_ = false;
  stopped_ = false;
  atEnd_ = false;
  scope_->ClearSamples();

  ReaderParams params;
  params.scope = mode_ == DisplayMode::Scope ? scope_ : nullptr;
  params.soundOutput = soundOutput_;
  params.audioDecoder = audioDecoder_;
  params.videoWindow = mode_ == DisplayMode::Video ? videoWindow_ : nullptr;
  params.file = &file_;
  params.playing = &playing_;
  params.atEnd = &atEnd_;
  params.sink = this;
  params.silentPictureRate = silentPictureRate;
  reader_.Start(params);
  return true;
}

void CPlaybackPanel::Play() {
  if (!file_.IsOpen() || playing_) return;
  playing_ = true;
  stopped_ = false;
  soundOutput_->Resume();
  videoWindow_->Start();
  reader_.Wake();
}

void CPlaybackPanel::Pause() {
  if (!file_.IsOpen() || !playing_) return;
  playing_ = false;
  auto idle = reader_.Hold();
  soundOutput_->Pause();
  videoWindow_->Stop();
}

void CPlaybackPanel::Stop() {
  if (!file_.IsOpen() || stopped_) return;
  stopped_ = true;
  playing_ = false;
  auto idle = reader_.Hold();
  file_.Rewind();
  atEnd_ = false;
  // The sound decoder carries its state from frame to frame; played again
  // from the start, the message must decode as it did the first time.
  if (audioDecoder_) {
    DestroyAudioDecoder(audioDecoder_);
    audioDecoder_ = CreateAudioDecoder();
    reader_.SetAudioDecoder(audioDecoder_);
  }
  heard_ = 0;
  soundOutput_->Pause();
  soundOutput_->Clear();
  videoWindow_->Reset();
  videoWindow_->Repaint();
  progress_->Reset();
  scope_->Redraw();
  // Values not yet plotted belong to sound that will never be heard.
  scope_->ClearSamples();
  currentLabel_->setText(QString());
}

void CPlaybackPanel::Close() {
  Stop();
  // The reader ends before anything it uses goes away.
  reader_.Finish();
  soundOutput_->Close();
  if (audioDecoder_) {
    DestroyAudioDecoder(audioDecoder_);
    audioDecoder_ = nullptr;
  }
  ShutdownVideoDecoder();
  if (file_.IsOpen()) file_.Close();
  totalLabel_->setText(QString());
  SetDisplayMode(DisplayMode::None);
}

void CPlaybackPanel::ShowVolumeDialog(bool show) { soundOutput_->ShowVolumeDialog(show); }

void CPlaybackPanel::OnBufferDone() {
  progress_->Advance();
  if (mode_ == DisplayMode::Scope) scope_->PlotNextSample();
  ++heard_;
  ShowCurrentTime();
  reader_.Wake();  // room in the ring
  EndIfFinished();
}

void CPlaybackPanel::ShowCurrentTime() {
  // The text changes only every fifth buffer; only then is the label touched.
  std::array<char, 64> text{};
  FormatPlayingTime(text.data(), text.size(), heard_);
  if (text == currentText_ && !currentLabel_->text().isEmpty()) return;
  currentText_ = text;
  currentLabel_->setText(QString::fromLatin1(text.data()));
}

void CPlaybackPanel::OnFramePresented() { reader_.Wake(); }

void CPlaybackPanel::OnEndOfData() { endWake_->Wake(); }

void CPlaybackPanel::EndIfFinished() {
  if (!file_.IsOpen() || stopped_ || !atEnd_ || soundOutput_->QueuedCount() != 0) return;
  Stop();
  QWidget* mainWindow = window();
  if (mainWindow && mainWindow != this) {
    QEvent ended(EventTypeOf(WM_PLAYBACK_ENDED));
    QCoreApplication::sendEvent(mainWindow, &ended);
  }
}

}  // namespace kestrel
