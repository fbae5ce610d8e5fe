#include "reader_thread.h"

#include <algorithm>
#include <chrono>

#include "audio_decoder.h"
#include "message_file.h"
#include "message_format.h"
#include "video_decoder_api.h"
#include "video_window.h"
#include "wave_device.h"
#include "waveform_scope.h"

namespace kestrel {

namespace {
constexpr int kPictureQueueCapacity = 20;
// A safety net only: every change that gives the reader work also wakes it.
constexpr std::chrono::milliseconds kIdleWait{50};
constexpr std::uint64_t kFramesPerSecond = 1000 / kAudioFrameMilliseconds;
constexpr std::size_t kScanBufferBytes = 64 * 1024;
}  // namespace

CReaderThread::CReaderThread()
    : payload_(new std::uint8_t[kPayloadBufferBytes]()),
      pcm_(new std::int16_t[kSamplesPerAudioFrame]()),
      silence_(new std::int16_t[kSamplesPerAudioFrame]()),
      picture_(new std::uint8_t[kPictureBytes]()),
      scanBuffer_(new std::uint8_t[kScanBufferBytes]) {}

CReaderThread::~CReaderThread() { Finish(); }

std::uint64_t CReaderThread::DueOf(std::uint64_t picture, int rate) {
  const auto perSecond = static_cast<std::uint64_t>(rate);
  return (picture * kFramesPerSecond + perSecond - 1) / perSecond;
}

void CReaderThread::Start(const ReaderParams& params) {
  Finish();
  params_ = params;
  pacing_ = false;
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
}

void CReaderThread::Run() {
  if (params_.videoWindow) {
    // Whether the pictures bring their own silence must be known before the
    // first of them is queued. The look runs here, off the user-interface
    // thread, however long the file.
    const SoundScan scan = ScanForSound(params_.fileDescriptor, params_.file->DataStart(), scanBuffer_.get(),
                                        kScanBufferBytes, quit_);
    if (!scan.complete) return;
    pacing_ = !scan.hasSound;
    if (params_.sink) params_.sink->OnScanned(scan);
  }
  while (!quit_) {
    bool worked = false;
    {
      std::lock_guard lock(recordMutex_);
      if (!quit_) worked = Step();
    }
    if (!worked) wake_.WaitFor(kIdleWait);
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
  if (params_.videoWindow && params_.videoWindow->QueuedCount() + 1 >= kPictureQueueCapacity) {
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
      for (std::size_t frame = 0; frame < kAudioFramesPerRecord; ++frame) {
        DecodeAudioFrame(params_.audioDecoder, payload_.get() + frame * kAudioFrameBytes, pcm_.get());
        params_.soundOutput->Queue(pcm_.get());
        ++soundFrames_;
        if (params_.scope) params_.scope->AppendSample(static_cast<float>(pcm_[0]) * 3.0517578e-5f + 1.0f);
      }
      break;
    case RecordKind::Video:
      if (!params_.videoWindow) break;  // a sound-only message shows no pictures
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
  for (; soundFrames_ < frame; ++soundFrames_) params_.soundOutput->Queue(silence_.get());
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
