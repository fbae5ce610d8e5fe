#include "playback_panel.h"

#include <algorithm>

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
#include "regular_file.h"
#include "scope_sample_sink.h"
#include "sound_blocks.h"
#include "string_table.h"
#include "ui_wake.h"
#include "video_decoder_api.h"
#include "video_window.h"
#include "volume_dialog_hook.h"
#include "wave_device.h"
#include "waveform_scope.h"
#include "window_messages.h"

namespace kestrel {

namespace {
// The sound output starts once more than this many blocks (400 ms) are
// queued, or at the end of the message.
constexpr int kStartThreshold = 20;
// Slots of the picture queue, handed to the video window; the reader reads
// from the window how many it may fill.
constexpr int kPictureQueueCapacity = 20;
// The band of the progress bar covers the last 87 audio frames heard
// (1.74 s): its left end starts to move once 88 have been.
constexpr int kProgressLag = 88;
constexpr int kVideoQuality = 3;
}  // namespace

CPlaybackPanel::CPlaybackPanel(QWidget* parent, const PlaybackServices& services)
    : QWidget(parent), services_(services) {
  setFont(CDialogUnits::DialogFont());
  BuildControls();

  scope_ = new CWaveformScope();
  scope_->Create(false, display_->contentsRect(), display_);
  scope_->SetBackgroundColor(Rgb(0, 0, 0));
  scope_->SetGridColor(Rgb(31, 31, 31));
  scope_->SetPlotColor(Rgb(0, 255, 0));
  scope_->SetShiftPixels(2);
  scope_->SetRange(kScopeLower, kScopeUpper, true);
  scopeSamples_ = std::make_unique<CScopeSampleSink>(*scope_);

  soundOutput_ = new CWaveDevice(display_, this, kSamplesPerAudioFrame, kStartThreshold, kBytesPerSample, kSampleRate,
                                 *services_.soundOutput, *services_.silentOutput);
  if (services_.volumeDialog) soundOutput_->AdoptVolumeDialog(services_.volumeDialog(soundOutput_));
  videoWindow_ = new CVideoWindow(display_, this, kPictureWidth, kPictureHeight, kPictureQueueCapacity);
  endWake_ = new CUiWake([this] { EndIfFinished(); }, this);
  indexWake_ = new CUiWake([this] { TakeIndex(); }, this);
  connect(progress_, &CProgressBar::PointerMoved, this, &CPlaybackPanel::OnStripPointer);
  connect(progress_, &CProgressBar::PointerReleased, this, &CPlaybackPanel::OnStripReleased);
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
        if (control.id == IDC_TOTAL_TIME) totalRect_ = rect;
        if (control.id == IDC_CURRENT_TIME) currentRect_ = rect;
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
  FitTimeLabel(label);
}

void CPlaybackPanel::FitTimeLabel(QLabel* label) {
  // A time of many minutes is wider than the template's label. The label
  // then takes the free room beside it (the total's to its right, up to the
  // "Current:" caption; the position's to its left, up to the caption's
  // text), and only a time too long even for that gets a smaller font.
  const bool total = label == totalLabel_;
  const QRect& normal = total ? totalRect_ : currentRect_;
  const QFontMetrics captionMetrics(currentCaption_->font());
  const int captionEnd = currentCaption_->x() + captionMetrics.horizontalAdvance(currentCaption_->text()) +
                         captionMetrics.averageCharWidth();
  const int roomWidth = total ? currentCaption_->x() - captionMetrics.averageCharWidth() - normal.left()
                              : normal.right() + 1 - captionEnd;
  const int frame = label->width() - label->contentsRect().width() + label->margin() * 2;
  QFont font = this->font();
  int needed = QFontMetrics(font).horizontalAdvance(label->text()) + frame;
  while (needed > roomWidth && font.pointSizeF() > 4.0) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
    needed = QFontMetrics(font).horizontalAdvance(label->text()) + frame;
  }
  if (label->font() != font) label->setFont(font);
  const int width = std::max(normal.width(), needed);
  const QRect place(total ? normal.left() : normal.right() + 1 - width, normal.top(), width, normal.height());
  if (label->geometry() != place) label->setGeometry(place);
}

bool CPlaybackPanel::Open(const QString& path) {
  if (file_.IsOpen()) Close();
  std::FILE* stream = OpenRegularFile(path.toLocal8Bit().constData());
  const int descriptor = stream ? fileno(stream) : -1;
  if (!stream || file_.Attach(stream) != OpenResult::Ok) {
    Close();
    return false;
  }
  // Without a decoder state the message cannot be played at all.
  audioDecoder_ = services_.createAudioDecoder();
  if (!audioDecoder_) {
    Close();
    return false;
  }
  frameRate_ = file_.FrameRate();
  SetDisplayMode(frameRate_ == 0 ? DisplayMode::Scope : DisplayMode::Video);
  audioFrameCount_ = file_.AudioFrameCount();

  SetTimeLabel(totalLabel_, audioFrameCount_);
  progress_->SetTotal(audioFrameCount_);
  progress_->SetLag(kProgressLag);
  heard_ = 0;
  SetTimeLabel(currentLabel_, 0);
  dataStart_ = file_.DataStart();
  // The last message's picture does not stay up over this one.
  videoWindow_->ClearPicture();
  videoWindow_->SetPlayedPosition(0);

  // Without its decoder a message with pictures cannot be shown.
  if (mode_ == DisplayMode::Video) {
    if (!services_.initVideoDecoder()) {
      Close();
      return false;
    }
    SetVideoQuality(kVideoQuality);
  }
  if (!soundOutput_->Open()) {
    // The message still plays: the sound output keeps time without sound.
    ShowAudioDeviceBox();
  }
  playing_ = false;
  stopped_ = false;
  atEnd_ = false;
  indexed_ = false;
  seekPending_ = false;
  scrubbing_ = false;
  scope_->ClearSamples();

  ReaderParams params;
  params.samples = mode_ == DisplayMode::Scope ? scopeSamples_.get() : nullptr;
  params.soundOutput = soundOutput_;
  params.audioDecoder = audioDecoder_;
  params.videoWindow = mode_ == DisplayMode::Video ? videoWindow_ : nullptr;
  params.frameRate = frameRate_;
  params.file = &file_;
  params.fileDescriptor = descriptor;
  params.playing = &playing_;
  params.atEnd = &atEnd_;
  params.sink = this;
  reader_.Start(params);
  return true;
}

void CPlaybackPanel::OnIndexed() {
  indexed_ = true;
  indexWake_->Wake();
}

void CPlaybackPanel::TakeIndex() {
  // A wake left over from an earlier message finds nothing handed over.
  if (!indexed_.exchange(false) || !file_.IsOpen()) return;
  const CMessageIndex* index = reader_.Index();
  if (!index) return;
  // A message with pictures and no sound, whose header does not say how
  // long it is, lasts as long as its pictures.
  if (index->AudioRecords() == 0 && audioFrameCount_ == 0 && frameRate_ != 0) {
    const std::uint64_t frames = CReaderThread::DueOf(index->Pictures(), frameRate_);
    SetTimeLabel(totalLabel_, frames);
    progress_->SetTotal(static_cast<std::int64_t>(frames));
  }
  if (seekPending_) {
    seekPending_ = false;
    Seek(pendingTarget_);
  }
}

void CPlaybackPanel::ShowAudioDeviceBox() {
  services_.messageBox->ShowStop(window(), LoadString(IDS_APP_TITLE), LoadString(IDS_CANNOT_OPEN_AUDIO));
}

void CPlaybackPanel::Play() {
  if (!file_.IsOpen() || playing_) return;
  stopped_ = false;
  // The devices first: a block the reader queued on a held output would be
  // dropped.
  soundOutput_->Resume();
  videoWindow_->Start();
  playing_ = true;
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
  seekPending_ = false;
  auto idle = reader_.Hold();
  file_.Rewind();
  reader_.SetTimeline(0, 0);
  atEnd_ = false;
  // Played again from the start, the message must decode as it did the
  // first time.
  RenewAudioDecoder();
  heard_ = 0;
  soundOutput_->Pause();
  soundOutput_->Clear();
  videoWindow_->Reset();
  videoWindow_->SetPlayedPosition(0);
  videoWindow_->Repaint();
  progress_->Reset();
  scope_->Redraw();
  // Values not yet plotted belong to sound that will never be heard.
  scope_->ClearSamples();
  currentLabel_->setText(QString());
}

void CPlaybackPanel::RenewAudioDecoder() {
  // The sound decoder carries its state from frame to frame.
  if (AudioDecoderState* fresh = audioDecoder_ ? services_.createAudioDecoder() : nullptr) {
    DestroyAudioDecoder(audioDecoder_);
    audioDecoder_ = fresh;
    reader_.SetAudioDecoder(audioDecoder_);
  }
}

void CPlaybackPanel::Seek(std::uint64_t target) {
  if (!file_.IsOpen()) return;
  if (!reader_.Index()) {
    seekPending_ = true;
    pendingTarget_ = target;
    return;
  }
  const bool wasPlaying = playing_;
  if (target >= reader_.EndOfTimeline()) {
    EndMessage();
    return;
  }
  playing_ = false;
  {
    auto idle = reader_.Hold();
    // Nothing queued before the seek is heard or shown after it.
    soundOutput_->Pause();
    soundOutput_->Clear();
    videoWindow_->Reset();
    scope_->ClearSamples();
    scope_->Redraw();
    RenewAudioDecoder();
    atEnd_ = false;
    std::uint64_t due = 0;
    const std::uint8_t* picture = reader_.SeekTo(target, &due);
    heard_ = target;
    videoWindow_->SetPlayedPosition(target);
    if (picture) videoWindow_->ShowNow(picture, due);
  }
  stopped_ = false;
  progress_->SetPosition(static_cast<std::int64_t>(target));
  ShowCurrentTime(heard_);
  if (wasPlaying) Play();
}

void CPlaybackPanel::OnStripPointer(std::int64_t position) {
  if (!file_.IsOpen()) return;
  scrubbing_ = true;
  ShowCurrentTime(static_cast<std::uint64_t>(position));
}

void CPlaybackPanel::OnStripReleased(std::int64_t position) {
  if (!file_.IsOpen()) return;
  scrubbing_ = false;
  Seek(static_cast<std::uint64_t>(position));
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
  videoWindow_->SetPlayedPosition(heard_);
  // While the strip is dragged, the label shows the time under the pointer.
  if (!scrubbing_) ShowCurrentTime(heard_);
  reader_.Wake();  // room in the ring
  EndIfFinished();
}

void CPlaybackPanel::ShowCurrentTime(std::uint64_t audioFrames) {
  // The text changes only every fifth buffer; only then is the label touched.
  std::array<char, 64> text{};
  FormatPlayingTime(text.data(), text.size(), audioFrames);
  if (text == currentText_ && !currentLabel_->text().isEmpty()) return;
  currentText_ = text;
  currentLabel_->setText(QString::fromLatin1(text.data()));
  FitTimeLabel(currentLabel_);
}

void CPlaybackPanel::OnDeviceLost() {
  // Told once, over the main window, from the event loop: the box waits for
  // the user while time, pictures and the end go on.
  QMetaObject::invokeMethod(
      this, [this] { ShowAudioDeviceBox(); }, Qt::QueuedConnection);
}

void CPlaybackPanel::OnFramePresented() {
  reader_.Wake();
  // The end waits for the last pictures.
  if (atEnd_) endWake_->Wake();
}

void CPlaybackPanel::OnEndOfData() { endWake_->Wake(); }

void CPlaybackPanel::EndIfFinished() {
  if (!file_.IsOpen() || stopped_ || !atEnd_ || soundOutput_->QueuedCount() != 0) return;
  // Every picture is due by the end of the sound; none is thrown away.
  if (videoWindow_->QueuedCount() != 0) return;
  EndMessage();
}

void CPlaybackPanel::EndMessage() {
  Stop();
  QWidget* mainWindow = window();
  if (mainWindow && mainWindow != this) {
    QEvent ended(EventTypeOf(WM_PLAYBACK_ENDED));
    QCoreApplication::sendEvent(mainWindow, &ended);
  }
}

}  // namespace kestrel
