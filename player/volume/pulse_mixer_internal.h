// What the two halves of the PulseAudio mixer service share: the main-loop
// lock, the default sink's state and the libpulse callbacks.
#pragma once

#include <pulse/pulseaudio.h>

#include <cstdint>
#include <string>

#include "pulse_mixer_service.h"

namespace kestrel {

inline constexpr const char* kDefaultSink = "@DEFAULT_SINK@";

class LoopLock {
 public:
  explicit LoopLock(pa_threaded_mainloop* loop) : loop_(loop) {
    if (loop_) pa_threaded_mainloop_lock(loop_);
  }
  ~LoopLock() {
    if (loop_) pa_threaded_mainloop_unlock(loop_);
  }
  LoopLock(const LoopLock&) = delete;
  LoopLock& operator=(const LoopLock&) = delete;

 private:
  pa_threaded_mainloop* loop_;
};

// A playback stream of this process.
bool IsOurs(const pa_sink_input_info& info);

struct CPulseMixerService::SinkState {
  bool found = false;
  std::uint32_t volume = 0;
  bool mute = false;
  std::uint8_t channels = 1;
  std::string description;
  std::string monitor;
};

// The libpulse callbacks, run on the main-loop thread with its lock held.
// `self` is the service; `result` the query a synchronous request waits on.
struct CPulseMixerService::Callbacks {
  // A synchronous query of the default sink: `result` is a SinkQuery.
  struct SinkQuery {
    CPulseMixerService* self;
    SinkState* state;
  };
  struct StreamQuery {
    CPulseMixerService* self;
    bool found;
    std::uint32_t volume;
    bool mute;
  };

  static void Signal(void* self);
  static void ContextState(pa_context*, void* self);
  static void Success(pa_context*, int success, void* result);
  static void SinkInfo(pa_context*, const pa_sink_info* info, int eol, void* result);
  static void StreamInfo(pa_context*, const pa_sink_input_info* info, int eol, void* result);
  static void ServerInfo(pa_context*, const pa_server_info* info, void* result);
  static void Subscription(pa_context* context, pa_subscription_event_type_t event, std::uint32_t index, void* self);
  static void SinkReport(pa_context*, const pa_sink_info* info, int eol, void* self);
  static void StreamReport(pa_context*, const pa_sink_input_info* info, int eol, void* self);
  static void AdoptReport(pa_context*, const pa_sink_input_info* info, int eol, void* self);
  static void StreamWriteDone(pa_context*, int, void* self);
};

}  // namespace kestrel
