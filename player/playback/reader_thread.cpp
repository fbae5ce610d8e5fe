#include "reader_thread.h"

#include <algorithm>
#include <chrono>

#include "audio_decoder.h"
#include "message_file.h"
#include "message_format.h"
#include "sample_sink.h"
#include "video_decoder_api.h"
#include "video_window.h"
#include "wave_device.h"

namespace kestrel {

namespace {
// A safety net while playing only: every change that gives the reader work
// also wakes it. Paused or stopped, it sleeps until woken, using nothing.
constexpr std::chrono::milliseconds kIdleWait{50};
constexpr std::size_t kScanBufferBytes = 64 * 1024;
}  // namespace

CReaderThread::CReaderThread()
    : payload_(new std::uint8_t[kPayloadBufferBytes]()),
      pcm_(new std::int16_t[kSamplesPerAudioFrame * kAudioFramesPerRecord]()),
      silence_(new std::int16_t[kSamplesPerAudioFrame * kAudioFramesPerRecord]()),
      picture_(new std::uint8_t[kPictureBytes]()),
      scanBuffer_(new std::uint8_t[kScanBufferBytes]) {}

CReaderThread::~CReaderThread() { Finish(); }

void CReaderThread::Start(const ReaderParams& params) {
  Finish();
  params_ = params;
  pacing_ = false;
  indexed_ = false;
  index_.Clear();
  SetTimeline(0, 0);
  // A silent picture at rate 1 brings fifty blocks at once; keep room for it.
  soundReserve_ = static_cast<int>(kAudioFramesPerRecord);
  if (params_.videoWindow) {
    const int share = static_cast<int>(DueOf(1, params_.frameRate));
    if (share > soundReserve_) soundReserve_ = share;
  }
  quit_ = false;
  wake_.Reset();
  thread_ = std::thread(&CReaderThread::Run, this);
}

void CReaderThread::Finish() {
  if (!thread_.joinable()) return;
  quit_ = true;
  wake_.Set();
  thread_.join();
}

void CReaderThread::SetTimeline(std::uint64_t pictures, std::uint64_t soundFrames) {
  pictures_ = pictures;
  soundFrames_ = soundFrames;
  padding_ = false;
  tailEnd_ = 0;
  skipAudio_ = skipPictures_ = 0;
  dropFrames_ = 0;
}

std::uint64_t CReaderThread::EndOfTimeline() const {
  const std::uint64_t sound = index_.AudioRecords() * kAudioFramesPerRecord;
  const std::uint64_t pictures = params_.videoWindow ? DueOf(index_.Pictures(), params_.frameRate) : 0;
  return std::max(sound, pictures);
}

const std::uint8_t* CReaderThread::SeekTo(std::uint64_t target, std::uint64_t* shownDue) {
  const std::size_t audioRecords = index_.AudioRecords();
  const std::size_t pictures = params_.videoWindow ? index_.Pictures() : 0;
  const std::uint64_t record = target / kAudioFramesPerRecord;
  // The picture on screen at the target, and the first one still to come.
  const std::uint64_t shown =
      pictures > 0 ? std::min<std::uint64_t>(LastPictureDueBy(target, params_.frameRate), pictures - 1) : 0;
  const std::uint64_t next = pictures > 0 ? shown + 1 : 0;

  const std::uint8_t* picture = nullptr;
  if (pictures > 0 && params_.file->Seek(static_cast<long>(index_.PictureAt(shown)))) {
    const Record read = params_.file->ReadRecord(payload_.get());
    DecodeVideoFrame(payload_.get(), read.bytesRead, picture_.get(), false);
    picture = picture_.get();
    *shownDue = DueOf(shown, params_.frameRate);
  }

  // Reading starts at whichever comes first in the file: the audio record
  // holding the target or the next picture.
  std::int64_t start = index_.EndOfData();
  if (record < audioRecords) start = index_.AudioRecordAt(record);
  if (next < pictures) start = std::min(start, index_.PictureAt(next));
  params_.file->Seek(static_cast<long>(start));
  SetTimeline(next, target);
  skipAudio_ = std::min<std::uint64_t>(record, audioRecords) - std::min(index_.AudioRecordsBefore(start), audioRecords);
  skipPictures_ = next - std::min<std::uint64_t>(index_.PicturesBefore(start), next);
  dropFrames_ = record < audioRecords ? target % kAudioFramesPerRecord : 0;
  return picture;
}

void CReaderThread::Run() {
  // Whether the pictures bring their own silence must be known before the
  // first of them is queued, and seeking needs the whole index. The pass
  // runs here, off the user-interface thread, however long the file.
  if (!index_.Build(params_.fileDescriptor, params_.file->DataStart(), scanBuffer_.get(), kScanBufferBytes, quit_)) {
    return;
  }
  pacing_ = params_.videoWindow && index_.AudioRecords() == 0;
  indexed_ = true;
  if (params_.sink) params_.sink->OnIndexed();
  while (!quit_) {
    bool worked = false;
    {
      std::lock_guard lock(recordMutex_);
      if (!quit_) worked = Step();
    }
    if (worked) continue;
    // Play sets the flag before it wakes the reader: a wake between the
    // look and the wait is kept by the event.
    if (params_.playing->load()) {
      wake_.WaitFor(kIdleWait);
    } else {
      wake_.Wait();
    }
  }
}

bool CReaderThread::Step() {
  if (!params_.playing->load() || params_.atEnd->load()) return false;
  const int queued = params_.soundOutput->QueuedCount();
  const int room = CWaveDevice::kMaxQueued - queued;
  if (padding_) {
    if (room <= 0) return false;
    QueueSilenceUntil(std::min(tailEnd_, soundFrames_ + static_cast<std::uint64_t>(room)));
    if (soundFrames_ >= tailEnd_) FinishData();
    return true;
  }
  if (params_.videoWindow && params_.videoWindow->QueuedCount() + 1 >= params_.videoWindow->Capacity()) {
    // Nothing more is read until a picture has gone up, and none goes up
    // before the sound reaches it: make sure that it can.
    const std::uint64_t due = params_.videoWindow->NextDue();
    if (due != CVideoWindow::kNothingQueued && soundFrames_ < due && room > 0) {
      QueueSilenceUntil(std::min(due, soundFrames_ + static_cast<std::uint64_t>(room)));
    }
    params_.soundOutput->PlayWhatIsQueued();
    return false;
  }
  // Room in the sound ring for everything one record can bring.
  if (queued + soundReserve_ >= CWaveDevice::kRingSize) return false;
  ReadOneRecord();
  return true;
}

void CReaderThread::ReadOneRecord() {
  const Record record = params_.file->ReadRecord(payload_.get());
  switch (record.kind) {
    case RecordKind::Audio:
      if (skipAudio_ > 0) {
        --skipAudio_;
        break;
      }
      // The record's sound goes to the output in one piece; before the
      // target of a seek, frames are decoded only for the state they leave.
      for (std::size_t frame = 0; frame < kAudioFramesPerRecord; ++frame) {
        std::int16_t* block = pcm_.get() + frame * kSamplesPerAudioFrame;
        DecodeAudioFrame(params_.audioDecoder, payload_.get() + frame * kAudioFrameBytes, block);
        if (frame >= dropFrames_ && params_.samples) params_.samples->OnSample(block[0]);
      }
      if (dropFrames_ < kAudioFramesPerRecord) {
        params_.soundOutput->QueueBlocks(pcm_.get() + dropFrames_ * kSamplesPerAudioFrame,
                                         static_cast<int>(kAudioFramesPerRecord - dropFrames_));
        soundFrames_ += kAudioFramesPerRecord - dropFrames_;
      }
      dropFrames_ = 0;
      break;
    case RecordKind::Video:
      if (!params_.videoWindow) break;  // a sound-only message shows no pictures
      if (skipPictures_ > 0) {
        --skipPictures_;
        break;
      }
      // A picture that could not be decoded is not shown; the one before it
      // stays up for its time.
      if (DecodeVideoFrame(payload_.get(), record.bytesRead, picture_.get(), false))
        params_.videoWindow->Push(picture_.get(), DueOf(pictures_, params_.frameRate));
      ++pictures_;
      // Picture k lasts until picture k + 1 is due.
      if (pacing_) QueueSilenceUntil(DueOf(pictures_, params_.frameRate));
      break;
    case RecordKind::PassedOver:
    case RecordKind::OversizeVideo:
      break;
    case RecordKind::EndOfData:
      ReachEndOfData();
      break;
  }
}

void CReaderThread::QueueSilenceUntil(std::uint64_t frame) {
  while (soundFrames_ < frame) {
    const auto blocks = static_cast<int>(std::min<std::uint64_t>(frame - soundFrames_, kAudioFramesPerRecord));
    params_.soundOutput->QueueBlocks(silence_.get(), blocks);
    soundFrames_ += static_cast<std::uint64_t>(blocks);
  }
}

void CReaderThread::ReachEndOfData() {
  // The last picture keeps the screen for its whole period, and no picture
  // is left unshown because the sound ended before it was due.
  const std::uint64_t lastPictureEnds = params_.videoWindow ? DueOf(pictures_, params_.frameRate) : 0;
  if (soundFrames_ < lastPictureEnds) {
    padding_ = true;
    tailEnd_ = lastPictureEnds;
    return;
  }
  FinishData();
}

void CReaderThread::FinishData() {
  padding_ = false;
  params_.atEnd->store(true);
  params_.soundOutput->EndOfInput();
  if (params_.sink) params_.sink->OnEndOfData();
}

}  // namespace kestrel
