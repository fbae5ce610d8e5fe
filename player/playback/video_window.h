// Shows the decoded pictures of a message from a queue the reader thread
// fills. Each picture carries the played position at which it is due, in
// 20 ms audio frames from the start of the message; the presentation thread
// puts it up once the sound heard has reached that position. Pictures are
// never dropped: one that is late is shown at once, in queue order.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include <QImage>
#include <QWidget>

namespace kestrel {

class CUiWake;
class IVideoWindowSink;

class CVideoWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr std::uint64_t kNothingQueued = ~std::uint64_t{0};

  // A child of `parent`, `width` x `height`, centred in it; `capacity`
  // slots of which capacity - 1 can hold a picture.
  CVideoWindow(QWidget* parent, IVideoWindowSink* sink, int width, int height, int capacity);
  ~CVideoWindow() override;

  // Reader thread: copies one picture (width x height x 3 bytes, bottom row
  // first, blue-green-red) into the queue, due when the played position
  // reaches `due`; false when capacity - 1 are held.
  bool Push(const std::uint8_t* picture, std::uint64_t due);
  // Any thread.
  int QueuedCount() const { return count_.load(); }
  int Capacity() const { return capacity_; }
  // Any thread: when the oldest queued picture is due; kNothingQueued when
  // the queue is empty.
  std::uint64_t NextDue() const;

  // User-interface thread: the played position, in audio frames heard since
  // the start of the message. Pictures due at or before it go up.
  void SetPlayedPosition(std::uint64_t position);
  std::uint64_t PlayedPosition() const;

  // User-interface thread. Start runs the presentation thread; Stop ends it
  // and keeps the queue; Reset also empties it.
  void Start();
  void Stop();
  void Reset();
  void Repaint();
  // The window shows black until the next picture.
  void ClearPicture();
  // User-interface thread, with the presentation thread stopped: puts
  // `picture` (due at `due`) up at once, as after a seek.
  void ShowNow(const std::uint8_t* picture, std::uint64_t due);
  // Any thread: copies the picture on screen (width x height x 3 bytes,
  // bottom row first) into `out` with the position it was due at; false,
  // and nothing copied, while the window shows no picture.
  bool CopyShownPicture(std::uint8_t* out, std::uint64_t* due) const;
  bool IsRunning() const;
  // Any thread: the presentation thread runs and waits with no picture due,
  // every picture it took already put up: nothing more goes up until the
  // played position moves or a picture due by then is pushed.
  bool IsWaiting() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PresentThread();
  void PutUp(const std::uint8_t* slot, std::uint64_t due);
  bool HeadIsDue() const;  // with the queue lock held

  IVideoWindowSink* sink_;
  const int width_;
  const int height_;
  const std::size_t frameBytes_;
  const int capacity_;

  // One producer (reader) and one consumer (presentation thread). The
  // bookkeeping is under the queue lock; the pictures are copied in and out
  // outside it: the spare slot keeps the two sides on different slots.
  std::unique_ptr<std::uint8_t[]> slots_;
  std::unique_ptr<std::uint64_t[]> dues_;
  mutable std::mutex queueMutex_;
  std::condition_variable changed_;
  int readIndex_ = 0;
  int writeIndex_ = 0;
  std::atomic<int> count_{0};
  std::uint64_t played_ = 0;
  bool running_ = false;
  bool waiting_ = false;  // the presentation thread is inside its wait
  std::thread presenter_;

  // The bitmap exactly as decoded (bottom-up rows), and its upright copy for
  // the screen; both under the lock.
  mutable std::mutex pictureMutex_;
  std::unique_ptr<std::uint8_t[]> dib_;
  bool hasPicture_ = false;
  std::uint64_t shownDue_ = 0;
  QImage screen_;
  CUiWake* repaintWake_ = nullptr;
};

}  // namespace kestrel
