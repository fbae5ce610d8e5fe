#include "reader_thread.h"

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
constexpr int kFramesPerSecond = 1000 / kAudioFrameMilliseconds;
}  // namespace

CReaderThread::CReaderThread()
    : payload_(new std::uint8_t[kPayloadBufferBytes]()),
      pcm_(new std::int16_t[kSamplesPerAudioFrame]()),
      silence_(new std::int16_t[kSamplesPerAudioFrame]()),
      picture_(new std::uint8_t[kPictureBytes]()) {}

CReaderThread::~CReaderThread() { Finish(); }

void CReaderThread::Start(const ReaderParams& params) {
  Finish();
  params_ = params;
  pictures_ = 0;
  // A silent picture at rate 1 brings fifty blocks at once; keep room for it.
  soundReserve_ = static_cast<int>(kAudioFramesPerRecord);
  if (params_.silentPictureRate > 0) {
    const int share = (kFramesPerSecond + params_.silentPictureRate - 1) / params_.silentPictureRate;
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

void CReaderThread::Run() {
  while (!quit_) {
    bool didRead = false;
    {
      std::lock_guard lock(recordMutex_);
      if (!quit_ && HasWork()) {
        ReadOneRecord();
        didRead = true;
      }
    }
    if (!didRead) wake_.WaitFor(kIdleWait);
  }
}

bool CReaderThread::HasWork() const {
  if (!params_.playing->load() || params_.atEnd->load()) return false;
  const int pictures = params_.videoWindow ? params_.videoWindow->QueuedCount() : 0;
  const int buffers = params_.soundOutput->QueuedCount();
  // At most 18 pictures queued before a record, and room in the sound ring
  // for everything one record can bring.
  return pictures + 1 < kPictureQueueCapacity && buffers + soundReserve_ < CWaveDevice::kRingSize;
}

void CReaderThread::ReadOneRecord() {
  if (params_.file->Position() == params_.file->DataStart()) pictures_ = 0;
  const Record record = params_.file->ReadRecord(payload_.get());
  switch (record.kind) {
    case RecordKind::Audio:
      for (std::size_t frame = 0; frame < kAudioFramesPerRecord; ++frame) {
        DecodeAudioFrame(params_.audioDecoder, payload_.get() + frame * kAudioFrameBytes, pcm_.get());
        params_.soundOutput->Queue(pcm_.get());
        if (params_.scope) params_.scope->AppendSample(static_cast<float>(pcm_[0]) * 3.0517578e-5f + 1.0f);
      }
      break;
    case RecordKind::Video:
      if (!params_.videoWindow) break;  // a sound-only message shows no pictures
      DecodeVideoFrame(payload_.get(), record.bytesRead, picture_.get(), false);
      params_.videoWindow->Push(picture_.get());
      if (params_.silentPictureRate > 0) QueueSilenceFor(pictures_);
      ++pictures_;
      break;
    case RecordKind::PassedOver:
    case RecordKind::OversizeVideo:
      break;
    case RecordKind::EndOfData:
      params_.atEnd->store(true);
      params_.soundOutput->EndOfInput();
      if (params_.sink) params_.sink->OnEndOfData();
      break;
  }
}

void CReaderThread::QueueSilenceFor(std::uint64_t picture) {
  // Picture k lasts from k / rate to (k + 1) / rate seconds; whole blocks,
  // with the remainder carried, so that no time is lost over the message.
  const std::uint64_t rate = static_cast<std::uint64_t>(params_.silentPictureRate);
  const std::uint64_t from = picture * kFramesPerSecond / rate;
  const std::uint64_t to = (picture + 1) * kFramesPerSecond / rate;
  for (std::uint64_t block = from; block < to; ++block) params_.soundOutput->Queue(silence_.get());
}

}  // namespace kestrel
