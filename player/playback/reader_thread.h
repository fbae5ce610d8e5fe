// The reader of one open message: reads records in file order while playing
// and while the queues have room, decodes them and queues the sound and the
// pictures. It never blocks on a queue: while there is nothing to do it
// sleeps until woken (play, a heard buffer, a shown picture).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "auto_reset_event.h"
#include "reader_params.h"

namespace kestrel {

class CReaderThread {
 public:
  // The reader's buffers are allocated here, once.
  CReaderThread();
  ~CReaderThread();
  CReaderThread(const CReaderThread&) = delete;
  CReaderThread& operator=(const CReaderThread&) = delete;

  // Starts the thread on `params`; only while none runs.
  void Start(const ReaderParams& params);
  // Ends the thread and waits for it. Harmless when none runs.
  void Finish();
  bool IsRunning() const { return thread_.joinable(); }

  // Replaces the audio decoder state; only while Hold() is held.
  void SetAudioDecoder(AudioDecoderState* decoder) { params_.audioDecoder = decoder; }

  // Any thread: have the reader look again at once.
  void Wake() { wake_.Set(); }

  // The hand-shake with the user-interface thread. Returns once the reader
  // is outside any record; while the lock is held it starts none. Clear the
  // playing flag first, so that it starts none after the lock is released.
  std::unique_lock<std::mutex> Hold() { return std::unique_lock<std::mutex>(recordMutex_); }

 private:
  void Run();
  bool HasWork() const;
  void ReadOneRecord();
  void QueueSilenceFor(std::uint64_t picture);

  std::unique_ptr<std::uint8_t[]> payload_;
  std::unique_ptr<std::int16_t[]> pcm_;
  std::unique_ptr<std::int16_t[]> silence_;
  std::unique_ptr<std::uint8_t[]> picture_;

  ReaderParams params_;
  int soundReserve_ = 10;     // blocks one record can add
  std::uint64_t pictures_ = 0;  // pictures read since the start of the data
  std::atomic<bool> quit_{false};
  CAutoResetEvent wake_;
  std::mutex recordMutex_;
  std::thread thread_;
};

}  // namespace kestrel
