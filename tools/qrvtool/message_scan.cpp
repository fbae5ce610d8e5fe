#include "message_scan.h"

#include <memory>
#include <vector>

#include "audio_decoder.h"
#include "message_format.h"
#include "ordered_work.h"
#include "video_decoder.h"

namespace kestrel::tool {

namespace {

// A buffer whose every byte is written before it is read: not cleared, so
// that its pages are first touched by whoever fills them.
using Bytes = std::unique_ptr<std::uint8_t[]>;
Bytes NewBytes(std::size_t size) { return std::make_unique_for_overwrite<std::uint8_t[]>(size); }

// One picture on its way through a decoder.
struct PictureJob {
  Bytes payload = NewBytes(kPayloadBufferBytes);  // the first `length` bytes read from the file
  std::size_t length = 0;
  Bytes picture = NewBytes(kPictureBytes);
  PayloadCheck check;
  std::vector<std::uint8_t> prepared;
};

}  // namespace

ScanOutcome ScanMessage(MessageInput& message, const ScanCallbacks& callbacks, unsigned threads) {
  ScanOutcome outcome;
  CMessageFile& file = message.file;

  std::unique_ptr<AudioDecoderState, void (*)(AudioDecoderState*)> audio(nullptr, DestroyAudioDecoder);
  if (callbacks.onAudioFrame) {
    audio.reset(CreateAudioDecoder());
    if (!audio) {
      outcome.decoderFailed = true;
      return outcome;
    }
  }
  std::vector<std::unique_ptr<CVideoDecoder>> decoders;
  std::vector<CVideoDecoder*> workers;
  if (callbacks.onPicture) {
    for (unsigned i = 0; i < (threads > 0 ? threads : 1); ++i) {
      decoders.push_back(std::make_unique<CVideoDecoder>());
      workers.push_back(decoders.back().get());
    }
  }
  // Two pictures in hand per decoder: one being decoded, one waiting.
  auto decodePicture = [&prepare = callbacks.preparePicture](CVideoDecoder& decoder, PictureJob& job) {
    decoder.Decode(job.payload.get(), job.length, job.picture.get(), false);
    job.check = decoder.LastCheck();
    if (prepare) prepare(job.picture.get(), job.prepared);
  };
  // Each decoder is readied by the thread that uses it when it is first
  // wanted: the threads' side by side, and the caller's only once it has
  // read ahead, so that reading and sound do not wait for it. A decoder that
  // has no memory leaves its share to the others, which make the same
  // pictures.
  OrderedWork<CVideoDecoder, PictureJob> pictures(workers, decodePicture, callbacks.onPicture ? 2 * workers.size() : 0,
                                                  [](CVideoDecoder& decoder) { return decoder.Init(); });
  // False when no decoder could be readied.
  auto handOldest = [&] {
    const PictureJob* job = pictures.Oldest();
    if (!job) return false;
    callbacks.onPicture(job->picture.get(), job->check, job->prepared);
    pictures.Release();
    return true;
  };

  Bytes payload = NewBytes(kPayloadBufferBytes);
  std::int16_t samples[kSamplesPerAudioFrame];

  while (!callbacks.done || !callbacks.done()) {
    const Record record = file.ReadRecord(payload.get());
    if (record.kind == RecordKind::EndOfData) break;
    if (callbacks.onRecord) callbacks.onRecord(record, payload.get());
    if (record.kind == RecordKind::Audio && callbacks.onAudioFrame) {
      for (std::size_t f = 0; f < kAudioFramesPerRecord; ++f) {
        DecodeAudioFrame(audio.get(), payload.get() + f * kAudioFrameBytes, samples);
        callbacks.onAudioFrame(samples);
      }
    }
    if (record.kind == RecordKind::Video && callbacks.onPicture) {
      if (pictures.Full() && !handOldest()) break;
      PictureJob& job = pictures.Next();
      job.payload.swap(payload);
      job.length = record.bytesRead;
      pictures.Submit();
      // The pictures decoded meanwhile go on at once, so that the outputs
      // keep pace with the reading.
      while (!pictures.Empty() && pictures.OldestDone()) handOldest();
    }
    if (callbacks.onProgress && message.size > 0)
      callbacks.onProgress(static_cast<double>(file.Position()) / static_cast<double>(message.size));
  }
  // Every record read has its picture handed on, as when decoding in turn.
  while (!pictures.Empty())
    if (!handOldest()) {
      outcome.decoderFailed = true;
      break;
    }
  return outcome;
}

}  // namespace kestrel::tool
