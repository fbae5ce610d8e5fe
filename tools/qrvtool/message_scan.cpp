#include "message_scan.h"

#include <memory>
#include <vector>

#include "audio_decoder.h"
#include "message_format.h"
#include "video_decoder.h"

namespace kestrel::tool {

ScanOutcome ScanMessage(MessageInput& message, const ScanCallbacks& callbacks) {
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
  CVideoDecoder video;
  if (callbacks.onPicture && !video.Init()) {
    outcome.decoderFailed = true;
    return outcome;
  }

  std::vector<std::uint8_t> payload(kPayloadBufferBytes);
  std::vector<std::uint8_t> picture(kPictureBytes);
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
      video.Decode(payload.data(), record.bytesRead, picture.data(), false);
      callbacks.onPicture(picture.data(), video.LastCheck());
    }
    if (callbacks.onProgress && message.size > 0)
      callbacks.onProgress(static_cast<double>(file.Position()) / static_cast<double>(message.size));
  }
  return outcome;
}

}  // namespace kestrel::tool
