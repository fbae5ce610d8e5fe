// A whole message file through the reader and both decoders, as the player
// reads it: one audio state per file, records in file order.
//
// Each input has a budget so that the fuzzer tries hundreds of files a second
// under the sanitizers: every record is read, but only the first
// kDecodedRecords audio and video records are decoded, and of their pictures
// only the first is reconstructed in full; the others stop once their
// coefficients are placed. The reconstruction itself is fuzz_video_payload's.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "audio_decoder.h"
#include "message_file.h"
#include "message_format.h"
#include "shared_video_decoder.h"

using namespace kestrel;

namespace {

constexpr int kDecodedRecords = 8;
constexpr int kFullPictures = 1;

// What the reader promises about any record, whatever the file holds.
void CheckRecord(const Record& record) {
  const bool holds = record.bytesRead <= record.length && record.bytesRead <= kPayloadBufferBytes &&
                     (record.kind != RecordKind::Audio || record.length == kAudioRecordBytes) &&
                     (record.kind != RecordKind::OversizeVideo || record.length > kPayloadBufferBytes);
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CVideoDecoder& video = fuzzing::SharedVideoDecoder();
  if (size == 0) return 0;
  std::vector<std::uint8_t> copy(data, data + size);
  std::FILE* stream = fmemopen(copy.data(), copy.size(), "rb");
  if (!stream) return 0;
  CMessageFile file;
  if (file.Attach(stream) != OpenResult::Ok) return 0;

  AudioDecoderState* audio = CreateAudioDecoder();
  static std::vector<std::uint8_t> payload(kPayloadBufferBytes), picture(kPictureBytes);
  std::int16_t samples[kSamplesPerAudioFrame];
  int decoded = 0, pictures = 0;
  for (;;) {
    const Record record = file.ReadRecord(payload.data());
    if (record.kind == RecordKind::EndOfData) break;
    CheckRecord(record);
    if (decoded == kDecodedRecords) continue;
    if (record.kind == RecordKind::Audio) {
      ++decoded;
      for (std::size_t f = 0; f < kAudioFramesPerRecord; ++f)
        DecodeAudioFrame(audio, payload.data() + f * kAudioFrameBytes, samples);
    }
    if (record.kind == RecordKind::Video) {
      ++decoded;
      // Exactly the bytes read, on the heap, so any read past them is caught.
      std::vector<std::uint8_t> exact(payload.begin(), payload.begin() + static_cast<long>(record.bytesRead));
      if (pictures++ < kFullPictures)
        video.Decode(exact.data(), exact.size(), picture.data(), false);
      else
        video.DecodeCoefficients(exact.data(), exact.size());
    }
  }
  DestroyAudioDecoder(audio);
  return 0;
}
