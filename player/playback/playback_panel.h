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
  void Stop();   // rewinds to the first record
  void Close();
  void ShowVolumeDialog(bool show);
  void SetDisplayMode(DisplayMode mode);

  DisplayMode Mode() const { return mode_; }
  bool IsOpen() const { return file_.IsOpen(); }
  bool IsPlaying() const { return playing_.load(); }
  // Buffers heard since the last Open or Stop.
  std::uint64_t HeardBuffers() const { return heard_; }
  QString TotalText() const;
  QString CurrentText() const;
  CWaveDevice& SoundOutput() { return *soundOutput_; }
  CVideoWindow& VideoWindow() { return *videoWindow_; }
  CWaveformScope& Scope() { return *scope_; }
  CProgressBar& ProgressBar() { return *progress_; }
  const QLabel* TotalLabel() const { return totalLabel_; }
  const QLabel* CurrentCaption() const { return currentCaption_; }

  // OnFramePresented comes from the presentation thread: a subclass that
  // overrides it calls Close in its own destructor, so that the thread has
  // ended before the subclass goes.
  void OnBufferDone() override;
  void OnDeviceLost() override;
  void OnFramePresented() override;

 private:
  void OnEndOfData() override;                   // reader thread
  void OnScanned(const SoundScan& scan) override;  // reader thread
  void BuildControls();
  // What the look through the message found, on the user-interface thread.
  void TakeScan();
  void ShowAudioDeviceBox();
  // The end of a message: the reader is at the end of the data and every
  // queued buffer has been heard.
  void EndIfFinished();
  void ShowCurrentTime();
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
  CWaveDevice* soundOutput_ = nullptr;
  CVideoWindow* videoWindow_ = nullptr;
  CUiWake* endWake_ = nullptr;
  CUiWake* scanWake_ = nullptr;

  DisplayMode mode_ = static_cast<DisplayMode>(-1);
  CMessageFile file_;
  AudioDecoderState* audioDecoder_ = nullptr;
  long dataStart_ = 0;
  std::uint8_t frameRate_ = 0;
  std::uint32_t audioFrameCount_ = 0;
  // Handed over by the reader once it has looked through the message.
  std::atomic<bool> scanned_{false};
  std::atomic<bool> scanFoundSound_{false};
  std::atomic<std::uint64_t> scanPictures_{0};
  std::uint64_t heard_ = 0;
  std::array<char, 64> currentText_{};
  std::atomic<bool> playing_{false};
  std::atomic<bool> atEnd_{false};
  bool stopped_ = false;
  CReaderThread reader_;
};

}  // namespace kestrel
