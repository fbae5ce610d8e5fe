#include "message_scan.h"

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "audio_decoder.h"
#include "message_format.h"
#include "ordered_work.h"
#include "video_decoder.h"

namespace kestrel::tool {

namespace {

// One picture on its way through a decoder.
struct PictureJob {
  std::vector<std::uint8_t> payload = std::vector<std::uint8_t>(kPayloadBufferBytes);
  std::size_t length = 0;
  std::vector<std::uint8_t> picture = std::vector<std::uint8_t>(kPictureBytes);
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
    // A decoder clears megabytes as it starts, which takes as long as
    // decoding a few pictures: the others start on threads of their own
    // meanwhile rather than one after another.
    std::vector<char> started(workers.size());
    {
      std::vector<std::thread> starting;
      for (std::size_t i = 1; i < workers.size(); ++i)
        starting.emplace_back([&started, &workers, i] { started[i] = workers[i]->Init(); });
      started[0] = workers[0]->Init();
      for (std::thread& thread : starting) thread.join();
    }
    if (std::find(started.begin(), started.end(), 0) != started.end()) {
      outcome.decoderFailed = true;
      return outcome;
    }
  }
  // Two pictures in hand per decoder: one being decoded, one waiting.
  auto decodePicture = [&prepare = callbacks.preparePicture](CVideoDecoder& decoder, PictureJob& job) {
    decoder.Decode(job.payload.data(), job.length, job.picture.data(), false);
    job.check = decoder.LastCheck();
    if (prepare) prepare(job.picture.data(), job.prepared);
  };
  OrderedWork<CVideoDecoder, PictureJob> pictures(workers, decodePicture, callbacks.onPicture ? 2 * workers.size() : 0);
  auto handOldest = [&] {
    PictureJob& job = pictures.Oldest();
    callbacks.onPicture(job.picture.data(), job.check, job.prepared);
    pictures.Release();
  };

  std::vector<std::uint8_t> payload(kPayloadBufferBytes);
  std::int16_t samples[kSamplesPerAudioFrame];

  while (!callbacks.done || !callbacks.done()) {
    const Record record = file.ReadRecord(payload.data());
    if (record.kind == RecordKind::EndOfData) break;
    if (callbacks.onRecord) callbacks.onRecord(record, payload.data());
    if (record.kind == RecordKind::Audio && callbacks.onAudioFrame) {
      for (std::size_t f = 0; f < kAudioFramesPerRecord; ++f) {
        DecodeAudioFrame(audio.get(), payload.data() + f * kAudioFrameBytes, samples);
        callbacks.onAudioFrame(samples);
      }
    }
    if (record.kind == RecordKind::Video && callbacks.onPicture) {
      if (pictures.Full()) handOldest();
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
  while (!pictures.Empty()) handOldest();
  return outcome;
}

}  // namespace kestrel::tool
