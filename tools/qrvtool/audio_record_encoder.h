// Encoding 8000 Hz samples into audio records: libgsm's encoder, its
// parameters repacked in the message file's own packing.
#pragma once

#include <array>
#include <cstdint>

#include "message_format.h"

namespace kestrel::tool {

inline constexpr std::size_t kSamplesPerAudioRecord = kSamplesPerAudioFrame * kAudioFramesPerRecord;  // 1600
using AudioRecordBytes = std::array<std::uint8_t, kAudioRecordBytes>;

class AudioRecordEncoder {
 public:
  AudioRecordEncoder();
  ~AudioRecordEncoder();
  AudioRecordEncoder(const AudioRecordEncoder&) = delete;
  AudioRecordEncoder& operator=(const AudioRecordEncoder&) = delete;

  bool Ok() const { return state_ != nullptr; }
  // Ten frames from 1600 samples; one encoder state carries across records.
  AudioRecordBytes Encode(const std::int16_t* samples);

 private:
  void* state_;  // libgsm's gsm
};

}  // namespace kestrel::tool
