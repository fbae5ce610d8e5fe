// Shows the decoded pictures of a message, one per tick of the presentation
// clock, from a queue the reader thread fills. Pictures are never dropped or
// re-timed; a tick that finds the queue empty leaves the screen as it is.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include <QImage>
#include <QWidget>

#include "auto_reset_event.h"

namespace kestrel {

class CUiWake;
class IPeriodicClock;
class IVideoWindowSink;

class CVideoWindow : public QWidget {
  Q_OBJECT
 public:
  // A child of `parent`, `width` x `height`, centred in it; `capacity`
  // slots of which capacity - 1 can hold a picture. `clock` outlives it.
  CVideoWindow(QWidget* parent, IVideoWindowSink* sink, int width, int height, int frameRate, int capacity,
               IPeriodicClock& clock);
  ~CVideoWindow() override;

  // Rate 1 to 5; takes effect at the next Start.
  void SetFrameRate(int rate);
  // Presentation period of the next Start: 1000 / rate ms, truncated.
  int PeriodMs() const { return 1000 / frameRate_; }

  // Reader thread: copies one picture (width x height x 3 bytes, bottom row
  // first, blue-green-red) into the queue; false when capacity - 1 are held.
  bool Push(const std::uint8_t* picture);
  // Any thread.
  int QueuedCount() const { return count_.load(); }

  // User-interface thread. Start runs the clock and the presentation
  // thread; Stop ends both and keeps the queue; Reset also empties it.
  void Start();
  void Stop();
  void Reset();
  void Repaint();
  bool IsRunning() const { return running_.load(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PresentThread();
  void PresentOnePicture();

  IVideoWindowSink* sink_;
  const int width_;
  const int height_;
  const std::size_t frameBytes_;
  const int capacity_;
  int frameRate_;
  IPeriodicClock& clock_;

  // One producer (reader) and one consumer (presentation thread): each
  // index has one writer, and the spare slot keeps them on different slots.
  std::unique_ptr<std::uint8_t[]> slots_;
  int readIndex_ = 0;
  int writeIndex_ = 0;
  std::atomic<int> count_{0};

  CAutoResetEvent wake_;
  std::atomic<bool> running_{false};
  std::thread presenter_;

  // The bitmap exactly as decoded (bottom-up rows), and its upright copy for
  // the screen; both under the lock.
  std::mutex pictureMutex_;
  std::unique_ptr<std::uint8_t[]> dib_;
  QImage screen_;
  CUiWake* repaintWake_ = nullptr;
};

}  // namespace kestrel
