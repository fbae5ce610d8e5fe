#include "audio_record_encoder.h"

#include <gsm.h>

#include <algorithm>

#include "audio_frame.h"

namespace kestrel::tool {

AudioRecordEncoder::AudioRecordEncoder() : state_(gsm_create()) {}

AudioRecordEncoder::~AudioRecordEncoder() {
  if (state_) gsm_destroy(static_cast<gsm>(state_));
}

AudioRecordBytes AudioRecordEncoder::Encode(const std::int16_t* samples) {
  AudioRecordBytes record{};
  gsm handle = static_cast<gsm>(state_);
  for (std::size_t f = 0; f < kAudioFramesPerRecord; ++f) {
    gsm_signal block[kSamplesPerAudioFrame];
    std::copy_n(samples + f * kSamplesPerAudioFrame, kSamplesPerAudioFrame, block);
    gsm_byte frame[sizeof(gsm_frame)];
    gsm_encode(handle, block, frame);
    GsmParameters parameters{};
    gsm_explode(handle, frame, parameters.data());
    const AudioFrameBytes packed = PackAudioFrame(parameters);
    std::copy(packed.begin(), packed.end(), record.begin() + f * kAudioFrameBytes);
  }
  return record;
}

}  // namespace kestrel::tool
