// The reader of one open message: reads records in file order while playing
// and while the queues have room, decodes them and queues the sound and the
// pictures, each picture with the played position at which it is due. It
// never blocks on a queue: while there is nothing to do it sleeps until woken
// (play, a heard buffer, a shown picture).
//
// The sound it queues is the message's timeline: picture k of a message at
// rate r is due when the sound has reached k / r seconds. Where the sound
// cannot carry the pictures, the reader fills in silence: every picture of a
// message without sound gets its share, pictures that outlast the sound get
// theirs at the end, and a picture queue full of pictures that the sound
// queued so far does not reach gets silence up to the first of them.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "auto_reset_event.h"
#include "message_index.h"
#include "reader_params.h"

namespace kestrel {

class CReaderThread {
 public:
  // The reader's buffers are allocated here, once.
  CReaderThread();
  ~CReaderThread();
  CReaderThread(const CReaderThread&) = delete;
  CReaderThread& operator=(const CReaderThread&) = delete;

  // Starts the thread on `params`; only while none runs. The message is
  // first indexed, on the thread, before its first record is read.
  void Start(const ReaderParams& params);
  // Ends the thread and waits for it. Harmless when none runs.
  void Finish();
  bool IsRunning() const { return thread_.joinable(); }

  // Only while Hold() is held. Replaces the audio decoder state.
  void SetAudioDecoder(AudioDecoderState* decoder) { params_.audioDecoder = decoder; }
  // The file has been positioned at a record that starts `pictures`
  // pictures and `soundFrames` audio frames into the message (0 and 0 at
  // the first record).
  void SetTimeline(std::uint64_t pictures, std::uint64_t soundFrames);

  // Any thread: the index of the message, once the reader has made it
  // (the reader has told its sink); nullptr before.
  const CMessageIndex* Index() const { return indexed_.load() ? &index_ : nullptr; }
  // Once indexed: the played position at which the message ends, in audio
  // frames (its sound, or its last picture's period where that lasts longer).
  std::uint64_t EndOfTimeline() const;
  // Only while Hold() is held, once indexed, and for `target` before the
  // end: positions the reader so that what it queues from now on is the
  // message from `target` audio frames on: the file at the audio record that
  // holds it (or at the first picture due after it, should that come
  // earlier in the file), records before the ones due passed over, and the
  // frames of the first audio record before the target decoded (with the
  // caller's fresh decoder state) but not queued. Decodes, here on the
  // caller's thread, the last picture due at or before the target and
  // returns it (valid until the hold ends) with its due position in
  // `shownDue`; nullptr when no picture is due by then or none is shown.
  const std::uint8_t* SeekTo(std::uint64_t target, std::uint64_t* shownDue);

  // Any thread: have the reader look again at once.
  void Wake() { wake_.Set(); }

  // The hand-shake with the user-interface thread. Returns once the reader
  // is outside any record; while the lock is held it starts none. Clear the
  // playing flag first, so that it starts none after the lock is released.
  std::unique_lock<std::mutex> Hold() { return std::unique_lock<std::mutex>(recordMutex_); }

  // The played position, in audio frames, at which picture `picture` of a
  // message with `rate` pictures per second is due: the first frame at or
  // after picture / rate seconds.
  static std::uint64_t DueOf(std::uint64_t picture, int rate) { return PictureDue(picture, rate); }

 private:
  void Run();
  // One piece of work with the record lock held; false when there was none.
  bool Step();
  void ReadOneRecord();
  // Queues silent blocks until `frame` audio frames have been queued since
  // the start of the message.
  void QueueSilenceUntil(std::uint64_t frame);
  void ReachEndOfData();
  void FinishData();

  std::unique_ptr<std::uint8_t[]> payload_;
  std::unique_ptr<std::int16_t[]> pcm_;
  std::unique_ptr<std::int16_t[]> silence_;
  std::unique_ptr<std::uint8_t[]> picture_;
  std::unique_ptr<std::uint8_t[]> scanBuffer_;

  ReaderParams params_;
  int soundReserve_ = 10;          // blocks one record can add
  bool pacing_ = false;            // no sound in the message: each picture brings its silence
  std::uint64_t pictures_ = 0;     // pictures read since the start of the message
  std::uint64_t soundFrames_ = 0;  // audio frames queued since the start of the message
  bool padding_ = false;           // at the end, silence until the last picture's time is up
  std::uint64_t tailEnd_ = 0;
  // After a seek: records passed over unread until the ones due, and frames
  // of the first audio record decoded but not queued.
  std::uint64_t skipAudio_ = 0;
  std::uint64_t skipPictures_ = 0;
  std::size_t dropFrames_ = 0;
  CMessageIndex index_;
  std::atomic<bool> indexed_{false};
  std::atomic<bool> quit_{false};
  CAutoResetEvent wake_;
  std::mutex recordMutex_;
  std::thread thread_;
};

}  // namespace kestrel
