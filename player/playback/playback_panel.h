// The playback panel (template 136): plays one open message at a time with
// sound, pictures or the waveform, the progress band and the time labels.
// The main window drives it with Open, Play, Pause, Stop and Close and learns
// of the end of a message by WM_PLAYBACK_ENDED, sent to the panel's window.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include <QRect>
#include <QString>
#include <QWidget>

#include "message_file.h"
#include "playback_services.h"
#include "reader_params.h"
#include "reader_thread.h"
#include "video_window_sink.h"
#include "wave_device_sink.h"

class QFrame;
class QLabel;

namespace kestrel {

class CProgressBar;
class CScopeSampleSink;
class CUiWake;
class CVideoWindow;
class CWaveDevice;
class CWaveformScope;
struct AudioDecoderState;

class CPlaybackPanel : public QWidget, public IWaveDeviceSink, public IVideoWindowSink, private IReaderSink {
  Q_OBJECT
 public:
  enum class DisplayMode { None = 0, Scope = 1, Video = 2 };

  // The services outlive the panel.
  CPlaybackPanel(QWidget* parent, const PlaybackServices& services);
  ~CPlaybackPanel() override;

  // User-interface thread, all of them.
  bool Open(const QString& path);  // closes an open message first; does not play
  void Play();
  void Pause();
  void Stop();  // rewinds to the first record
  void Close();
  void ShowVolumeDialog(bool show);
  void SetDisplayMode(DisplayMode mode);
  // Moves playback to `target` audio frames into the message and goes on
  // as it was, playing or paused (from the stopped state: paused there).
  // A target at or past the end ends the message as playing to the end
  // would. Asked before the message has been indexed, it is done as soon
  // as it has been.
  void Seek(std::uint64_t target);

  DisplayMode Mode() const { return mode_; }
  bool IsOpen() const { return file_.IsOpen(); }
  bool IsPlaying() const { return playing_.load(); }
  // The played position: buffers heard since the last Open or Stop, counted
  // from the target of the last seek.
  std::uint64_t HeardBuffers() const { return heard_; }
  QString TotalText() const;
  QString CurrentText() const;
  CWaveDevice& SoundOutput() { return *soundOutput_; }
  CVideoWindow& VideoWindow() { return *videoWindow_; }
  CWaveformScope& Scope() { return *scope_; }
  CProgressBar& ProgressBar() { return *progress_; }
  const QLabel* TotalLabel() const { return totalLabel_; }
  const QLabel* CurrentCaption() const { return currentCaption_; }
  const CReaderThread& Reader() const { return reader_; }

  // OnFramePresented comes from the presentation thread: a subclass that
  // overrides it calls Close in its own destructor, so that the thread has
  // ended before the subclass goes.
  void OnBufferDone() override;
  void OnDeviceLost() override;
  void OnFramePresented() override;

 private:
  void OnEndOfData() override;  // reader thread
  void OnIndexed() override;    // reader thread
  void BuildControls();
  // What the index of the message tells, on the user-interface thread.
  void TakeIndex();
  void ShowAudioDeviceBox();
  // The end of a message: the reader is at the end of the data and every
  // queued buffer has been heard.
  void EndIfFinished();
  // Stops and tells the main window that the message has ended.
  void EndMessage();
  // A fresh audio decoder state for the reader (should none be had, the
  // old one goes on). Only while the reader is held.
  void RenewAudioDecoder();
  // The strip pressed or dragged: the time under the pointer is shown.
  void OnStripPointer(std::int64_t position);
  void OnStripReleased(std::int64_t position);
  void ShowCurrentTime(std::uint64_t audioFrames);
  void SetTimeLabel(QLabel* label, std::uint64_t audioFrames);
  void FitTimeLabel(QLabel* label);

  PlaybackServices services_;
  CProgressBar* progress_ = nullptr;
  QFrame* display_ = nullptr;
  QLabel* totalCaption_ = nullptr;
  QLabel* totalLabel_ = nullptr;
  QLabel* currentCaption_ = nullptr;
  QLabel* currentLabel_ = nullptr;
  QRect totalRect_;  // where the template puts the two time labels
  QRect currentRect_;
  CWaveformScope* scope_ = nullptr;
  std::unique_ptr<CScopeSampleSink> scopeSamples_;  // what the reader feeds the scope through
  CWaveDevice* soundOutput_ = nullptr;
  CVideoWindow* videoWindow_ = nullptr;
  CUiWake* endWake_ = nullptr;
  CUiWake* indexWake_ = nullptr;

  DisplayMode mode_ = static_cast<DisplayMode>(-1);
  CMessageFile file_;
  AudioDecoderState* audioDecoder_ = nullptr;
  long dataStart_ = 0;
  std::uint8_t frameRate_ = 0;
  std::uint32_t audioFrameCount_ = 0;
  // Handed over by the reader once it has looked through the message.
  std::atomic<bool> indexed_{false};
  bool seekPending_ = false;
  std::uint64_t pendingTarget_ = 0;
  bool scrubbing_ = false;  // the strip is being dragged
  std::uint64_t heard_ = 0;
  std::array<char, 64> currentText_{};
  std::atomic<bool> playing_{false};
  std::atomic<bool> atEnd_{false};
  bool stopped_ = false;
  CReaderThread reader_;
};

}  // namespace kestrel
