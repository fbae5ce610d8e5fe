#include "audio_decoder.h"

#include <gsm.h>

#include <new>

#include "audio_frame.h"

namespace kestrel {

struct AudioDecoderState {
  gsm handle;
};

AudioDecoderState* CreateAudioDecoder() {
  gsm handle = gsm_create();
  if (!handle) return nullptr;
  auto* state = new (std::nothrow) AudioDecoderState{handle};
  if (!state) gsm_destroy(handle);
  return state;
}

void DecodeAudioFrame(AudioDecoderState* state, const std::uint8_t* frame, std::int16_t* samples) {
  GsmParameters parameters = UnpackAudioFrame(frame);
  // libgsm's decoder takes its own 33-byte frame; gsm_implode builds it from
  // the parameters, signature included, so gsm_decode never rejects it.
  gsm_byte libgsmFrame[sizeof(gsm_frame)];
  gsm_implode(state->handle, parameters.data(), libgsmFrame);
  gsm_decode(state->handle, libgsmFrame, samples);
}

void DestroyAudioDecoder(AudioDecoderState* state) {
  if (!state) return;
  gsm_destroy(state->handle);
  delete state;
}

}  // namespace kestrel
