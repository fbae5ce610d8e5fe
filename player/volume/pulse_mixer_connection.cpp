// The PulseAudio mixer service's connection: the main loop and context, the
// synchronous queries with their deadline, and the libpulse callbacks that
// hand the server's answers and reports back to the service.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "mixer_volume_scale.h"
#include "pulse_deadline.h"
#include "pulse_mixer_internal.h"

namespace kestrel {

bool IsOurs(const pa_sink_input_info& info) {
  const char* pid = pa_proplist_gets(info.proplist, PA_PROP_APPLICATION_PROCESS_ID);
  return pid && std::strtol(pid, nullptr, 10) == static_cast<long>(getpid());
}

void CPulseMixerService::Callbacks::Signal(void* self) {
  pa_threaded_mainloop_signal(static_cast<CPulseMixerService*>(self)->loop_, 0);
}

void CPulseMixerService::Callbacks::ContextState(pa_context*, void* self) { Signal(self); }

void CPulseMixerService::Callbacks::Success(pa_context*, int success, void* result) {
  auto* done = static_cast<std::pair<CPulseMixerService*, int>*>(result);
  done->second = success;
  Signal(done->first);
}

void CPulseMixerService::Callbacks::SinkInfo(pa_context*, const pa_sink_info* info, int eol, void* result) {
  auto* query = static_cast<SinkQuery*>(result);
  if (eol == 0 && info) {
    query->state->found = true;
    query->state->volume = MixerVolumeFromServer(pa_cvolume_max(&info->volume));
    query->state->mute = info->mute != 0;
    query->state->channels = info->volume.channels;
    query->state->description = info->description ? info->description : "";
    query->state->monitor = info->monitor_source_name ? info->monitor_source_name : "";
  }
  if (eol != 0) Signal(query->self);
}

void CPulseMixerService::Callbacks::StreamInfo(pa_context*, const pa_sink_input_info* info, int eol, void* result) {
  auto* query = static_cast<StreamQuery*>(result);
  if (eol == 0 && info) {
    query->found = true;
    query->volume = MixerVolumeFromServer(pa_cvolume_max(&info->volume));
    query->mute = info->mute != 0;
  }
  if (eol != 0) Signal(query->self);
}

void CPulseMixerService::Callbacks::ServerInfo(pa_context*, const pa_server_info* info, void* result) {
  auto* query = static_cast<std::pair<CPulseMixerService*, std::string>*>(result);
  if (info && info->default_sink_name) query->second = info->default_sink_name;
  Signal(query->first);
}

void CPulseMixerService::Callbacks::Subscription(pa_context* context, pa_subscription_event_type_t event,
                                                 std::uint32_t index, void* self) {
  auto* service = static_cast<CPulseMixerService*>(self);
  if (!service->owner_) return;
  const auto facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
  const auto type = event & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
  if (facility == PA_SUBSCRIPTION_EVENT_SINK || facility == PA_SUBSCRIPTION_EVENT_SERVER) {
    // A server change may be a new default sink: the speakers line and the
    // meter then follow it.
    if (pa_operation* op = pa_context_get_sink_info_by_name(context, kDefaultSink, &SinkReport, self)) {
      pa_operation_unref(op);
    }
  } else if (facility == PA_SUBSCRIPTION_EVENT_SINK_INPUT) {
    if (type == PA_SUBSCRIPTION_EVENT_REMOVE) {
      std::erase_if(service->streams_, [index](const OwnStream& stream) { return stream.index == index; });
    } else if (pa_operation* op = pa_context_get_sink_input_info(context, index, &StreamReport, self)) {
      pa_operation_unref(op);
    }
  }
}

void CPulseMixerService::Callbacks::SinkReport(pa_context*, const pa_sink_info* info, int eol, void* self) {
  if (eol != 0 || !info) return;
  SinkState state;
  state.found = true;
  state.volume = MixerVolumeFromServer(pa_cvolume_max(&info->volume));
  state.mute = info->mute != 0;
  state.monitor = info->monitor_source_name ? info->monitor_source_name : "";
  static_cast<CPulseMixerService*>(self)->ReportSink(state);
}

void CPulseMixerService::Callbacks::StreamReport(pa_context*, const pa_sink_input_info* info, int eol, void* self) {
  if (eol != 0 || !info) return;
  static_cast<CPulseMixerService*>(self)->ReportStream(*info);
}

void CPulseMixerService::Callbacks::AdoptReport(pa_context*, const pa_sink_input_info* info, int eol, void* self) {
  auto* service = static_cast<CPulseMixerService*>(self);
  if (eol != 0) {
    Signal(self);
    return;
  }
  if (!info || !IsOurs(*info)) return;
  if (service->streams_.empty()) {
    // A stream that is already playing keeps its values.
    service->heldWaveVolume_ = service->reportedWaveVolume_ = MixerVolumeFromServer(pa_cvolume_max(&info->volume));
    service->heldWaveMute_ = service->reportedWaveMute_ = info->mute != 0;
  }
  service->streams_.push_back(OwnStream{info->index, info->volume.channels});
}

void CPulseMixerService::Callbacks::StreamWriteDone(pa_context*, int, void* self) {
  auto* service = static_cast<CPulseMixerService*>(self);
  if (--service->pendingStreamWrites_ == 0) service->RequestStreamReports();
  Signal(self);
}

CPulseMixerService::CPulseMixerService(std::string clientName)
    : clientName_(std::move(clientName)),
      heldWaveVolume_(kMixerVolumeMaximum),
      reportedWaveVolume_(kMixerVolumeMaximum) {}

CPulseMixerService::~CPulseMixerService() {
  if (handle_) Close(handle_);
  Teardown();
}

void CPulseMixerService::Teardown() {
  if (!loop_) return;
  pa_threaded_mainloop_stop(loop_);
  peak_.Stop();
  if (context_) {
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_set_subscribe_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
  }
  pa_threaded_mainloop_free(loop_);
  loop_ = nullptr;
}

bool CPulseMixerService::EnsureConnected() {
  if (loop_) return Ready();
  if (connectFailed_) return false;
  loop_ = pa_threaded_mainloop_new();
  if (!loop_) {
    connectFailed_ = true;
    return false;
  }
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), clientName_.c_str());
  bool ready = false;
  if (context_) {
    pa_context_set_state_callback(context_, &Callbacks::ContextState, this);
    pa_context_set_subscribe_callback(context_, &Callbacks::Subscription, this);
    // No autospawn: a connect that forks a daemon can stall for seconds.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
        pa_threaded_mainloop_start(loop_) >= 0) {
      LoopLock lock(loop_);
      CPulseDeadline deadline(loop_, context_);
      for (;;) {
        const pa_context_state_t state = pa_context_get_state(context_);
        if (state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state)) break;
        if (!deadline.Wait()) break;
      }
      ready = pa_context_get_state(context_) == PA_CONTEXT_READY;
    }
  }
  if (!ready) {
    Teardown();
    connectFailed_ = true;
  }
  return ready;
}

bool CPulseMixerService::Ready() const {
  return !hung_ && context_ && pa_context_get_state(context_) == PA_CONTEXT_READY;
}

bool CPulseMixerService::Await(pa_operation* operation) {
  if (!operation) return false;
  // A context that fails cancels its operations and signals the loop; a
  // server that stops answering is given up on at the deadline, and asked
  // nothing more.
  CPulseDeadline deadline(loop_, context_);
  bool answered = !hung_;
  while (answered && pa_operation_get_state(operation) == PA_OPERATION_RUNNING) answered = deadline.Wait();
  if (!answered) {
    pa_operation_cancel(operation);
    hung_ = true;
  }
  const bool done = pa_operation_get_state(operation) == PA_OPERATION_DONE;
  pa_operation_unref(operation);
  return done;
}

bool CPulseMixerService::QueryDefaultSink(SinkState* state) {
  if (!Ready()) return false;
  Callbacks::SinkQuery query{this, state};
  return Await(pa_context_get_sink_info_by_name(context_, kDefaultSink, &Callbacks::SinkInfo, &query)) && state->found;
}

bool CPulseMixerService::QueryStream(std::uint32_t index, std::uint32_t* volume, bool* mute) {
  if (!Ready()) return false;
  Callbacks::StreamQuery query{this, false, 0, false};
  if (!Await(pa_context_get_sink_input_info(context_, index, &Callbacks::StreamInfo, &query)) || !query.found) {
    return false;
  }
  *volume = query.volume;
  *mute = query.mute;
  return true;
}

void CPulseMixerService::AdoptStreams() {
  streams_.clear();
  Await(pa_context_get_sink_input_info_list(context_, &Callbacks::AdoptReport, this));
}

void CPulseMixerService::RequestStreamReports() {
  for (const OwnStream& stream : streams_) {
    if (pa_operation* op = pa_context_get_sink_input_info(context_, stream.index, &Callbacks::StreamReport, this)) {
      pa_operation_unref(op);
    }
  }
}

}  // namespace kestrel
