// A whole message file through the reader and both decoders, as the player
// reads it: one audio state per file, every video record decoded.
#include <cstdio>
#include <vector>

#include "audio_decoder.h"
#include "message_file.h"
#include "message_format.h"
#include "video_decoder.h"

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CVideoDecoder* video = [] {
    auto* decoder = new CVideoDecoder;
    decoder->Init();
    return decoder;
  }();
  if (size == 0) return 0;
  std::vector<std::uint8_t> copy(data, data + size);
  std::FILE* stream = fmemopen(copy.data(), copy.size(), "rb");
  if (!stream) return 0;
  CMessageFile file;
  if (file.Attach(stream) != OpenResult::Ok) return 0;

  AudioDecoderState* audio = CreateAudioDecoder();
  static std::vector<std::uint8_t> payload(kPayloadBufferBytes), picture(kPictureBytes);
  std::int16_t samples[kSamplesPerAudioFrame];
  for (;;) {
    const Record record = file.ReadRecord(payload.data());
    if (record.kind == RecordKind::EndOfData) break;
    if (record.kind == RecordKind::Audio)
      for (std::size_t f = 0; f < kAudioFramesPerRecord; ++f)
        DecodeAudioFrame(audio, payload.data() + f * kAudioFrameBytes, samples);
    if (record.kind == RecordKind::Video) {
      // Exactly the bytes read, on the heap, so any read past them is caught.
      std::vector<std::uint8_t> exact(payload.begin(), payload.begin() + static_cast<long>(record.bytesRead));
      video->Decode(exact.data(), exact.size(), picture.data(), false);
    }
  }
  DestroyAudioDecoder(audio);
  return 0;
}
