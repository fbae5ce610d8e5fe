#include "pulse_mixer_service.h"

#include <pulse/pulseaudio.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include <QCoreApplication>

#include "mixer_control_change_event.h"
#include "mixer_volume_scale.h"
#include "pulse_deadline.h"

namespace kestrel {

namespace {

constexpr const char* kDefaultSink = "@DEFAULT_SINK@";

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

// The product name field holds so many bytes; cut on a character boundary.
std::string ProductName(const char* description) {
  std::string name = description ? description : "";
  if (name.size() <= kMixerProductNameLength) return name;
  std::size_t end = kMixerProductNameLength;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

bool IsOurs(const pa_sink_input_info& info) {
  const char* pid = pa_proplist_gets(info.proplist, PA_PROP_APPLICATION_PROCESS_ID);
  return pid && std::strtol(pid, nullptr, 10) == static_cast<long>(getpid());
}

pa_cvolume Uniform(std::uint8_t channels, std::uint32_t mixerVolume) {
  pa_cvolume volume;
  pa_cvolume_set(&volume, std::max<std::uint8_t>(channels, 1), ServerVolumeFromMixer(mixerVolume));
  return volume;
}

}  // namespace

struct CPulseMixerService::SinkState {
  bool found = false;
  std::uint32_t volume = 0;
  bool mute = false;
  std::uint8_t channels = 1;
  std::string description;
  std::string monitor;
};

struct CPulseMixerService::Callbacks {
  static void Signal(void* self) { pa_threaded_mainloop_signal(static_cast<CPulseMixerService*>(self)->loop_, 0); }

  static void ContextState(pa_context*, void* self) { Signal(self); }

  static void Success(pa_context*, int success, void* result) {
    auto* done = static_cast<std::pair<CPulseMixerService*, int>*>(result);
    done->second = success;
    Signal(done->first);
  }

  // A synchronous query of the default sink: `result` is a SinkQuery.
  struct SinkQuery {
    CPulseMixerService* self;
    SinkState* state;
  };
  static void SinkInfo(pa_context*, const pa_sink_info* info, int eol, void* result) {
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

  struct StreamQuery {
    CPulseMixerService* self;
    bool found;
    std::uint32_t volume;
    bool mute;
  };
  static void StreamInfo(pa_context*, const pa_sink_input_info* info, int eol, void* result) {
    auto* query = static_cast<StreamQuery*>(result);
    if (eol == 0 && info) {
      query->found = true;
      query->volume = MixerVolumeFromServer(pa_cvolume_max(&info->volume));
      query->mute = info->mute != 0;
    }
    if (eol != 0) Signal(query->self);
  }

  static void ServerInfo(pa_context*, const pa_server_info* info, void* result) {
    auto* query = static_cast<std::pair<CPulseMixerService*, std::string>*>(result);
    if (info && info->default_sink_name) query->second = info->default_sink_name;
    Signal(query->first);
  }

  static void Subscription(pa_context* context, pa_subscription_event_type_t event, std::uint32_t index, void* self) {
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

  static void SinkReport(pa_context*, const pa_sink_info* info, int eol, void* self) {
    if (eol != 0 || !info) return;
    SinkState state;
    state.found = true;
    state.volume = MixerVolumeFromServer(pa_cvolume_max(&info->volume));
    state.mute = info->mute != 0;
    state.monitor = info->monitor_source_name ? info->monitor_source_name : "";
    static_cast<CPulseMixerService*>(self)->ReportSink(state);
  }

  static void StreamReport(pa_context*, const pa_sink_input_info* info, int eol, void* self) {
    if (eol != 0 || !info) return;
    static_cast<CPulseMixerService*>(self)->ReportStream(*info);
  }

  static void AdoptReport(pa_context*, const pa_sink_input_info* info, int eol, void* self) {
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

  static void StreamWriteDone(pa_context*, int, void* self) {
    auto* service = static_cast<CPulseMixerService*>(self);
    if (--service->pendingStreamWrites_ == 0) service->RequestStreamReports();
    Signal(self);
  }
};

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
  return Await(pa_context_get_sink_info_by_name(context_, kDefaultSink, &Callbacks::SinkInfo, &query)) &&
         state->found;
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

unsigned CPulseMixerService::GetDeviceCount() {
  if (!EnsureConnected()) return 0;
  LoopLock lock(loop_);
  std::pair<CPulseMixerService*, std::string> server{this, {}};
  if (!Await(pa_context_get_server_info(context_, &Callbacks::ServerInfo, &server)) || server.second.empty()) {
    return 0;
  }
  SinkState sink;
  return QueryDefaultSink(&sink) ? 1 : 0;
}

bool CPulseMixerService::Open(unsigned index, QObject* owner, MixerHandle* handle) {
  if (index != 0 || GetDeviceCount() == 0) return false;
  LoopLock lock(loop_);
  if (handle_) return false;  // one owner at a time
  const auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SINK_INPUT |
                                                        PA_SUBSCRIPTION_MASK_SERVER);
  std::pair<CPulseMixerService*, int> subscribed{this, 0};
  if (!Await(pa_context_subscribe(context_, mask, &Callbacks::Success, &subscribed)) || !subscribed.second) {
    return false;
  }
  SinkState sink;
  if (!QueryDefaultSink(&sink)) return false;
  sinkKnown_ = true;
  reportedMasterVolume_ = sink.volume;
  reportedMasterMute_ = sink.mute;
  AdoptStreams();
  peak_.Start(context_, pa_threaded_mainloop_get_api(loop_), sink.monitor);
  owner_ = owner;
  handle_ = nextHandle_++;
  *handle = handle_;
  return true;
}

void CPulseMixerService::AdoptStreams() {
  streams_.clear();
  Await(pa_context_get_sink_input_info_list(context_, &Callbacks::AdoptReport, this));
}

void CPulseMixerService::Close(MixerHandle handle) {
  if (!loop_) return;
  LoopLock lock(loop_);
  if (!IsOpen(handle)) return;
  owner_ = nullptr;
  handle_ = 0;
  sinkKnown_ = false;
  streams_.clear();
  peak_.Stop();
  // Not waited for: closing must not hang on a server that has stopped.
  if (Ready()) {
    if (pa_operation* operation = pa_context_subscribe(context_, PA_SUBSCRIPTION_MASK_NULL, nullptr, nullptr)) {
      pa_operation_unref(operation);
    }
  }
}

bool CPulseMixerService::GetCaps(MixerHandle handle, MixerCaps* caps) {
  if (!loop_) return false;
  LoopLock lock(loop_);
  if (!IsOpen(handle)) return false;
  SinkState sink;
  if (!QueryDefaultSink(&sink)) return false;
  *caps = MixerCaps{};
  caps->productName = ProductName(sink.description.c_str());
  caps->driverVersion = pa_context_get_server_protocol_version(context_);
  caps->destinations = 1;
  return true;
}

bool CPulseMixerService::GetLineByComponentType(MixerHandle handle, std::uint32_t componentType, MixerLine* line) {
  if (!loop_) return false;
  {
    LoopLock lock(loop_);
    if (!IsOpen(handle)) return false;
  }
  if (componentType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) {
    *line = MixerLine{0, 0, kSpeakersLineId, componentType, 1, 2};
    return true;
  }
  if (componentType == MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT) {
    *line = MixerLine{0, 0, kWaveLineId, componentType, 0, 3};
    return true;
  }
  return false;
}

bool CPulseMixerService::GetSourceLine(MixerHandle handle, std::uint32_t destination, std::uint32_t source,
                                       MixerLine* line) {
  if (destination != 0 || source != 0) return false;
  return GetLineByComponentType(handle, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, line);
}

bool CPulseMixerService::GetControlByType(MixerHandle handle, std::uint32_t lineId, std::uint32_t controlType,
                                          MixerControl* control) {
  if (!loop_) return false;
  {
    LoopLock lock(loop_);
    if (!IsOpen(handle)) return false;
  }
  const bool speakers = lineId == kSpeakersLineId;
  const bool wave = lineId == kWaveLineId;
  if ((speakers || wave) && controlType == MIXERCONTROL_CONTROLTYPE_VOLUME) {
    *control = MixerControl{speakers ? kMasterVolumeId : kWaveVolumeId, controlType, 0, kMixerVolumeMaximum};
    return true;
  }
  if ((speakers || wave) && controlType == MIXERCONTROL_CONTROLTYPE_MUTE) {
    *control = MixerControl{speakers ? kMasterMuteId : kWaveMuteId, controlType, 0, 1};
    return true;
  }
  if (wave && controlType == MIXERCONTROL_CONTROLTYPE_PEAKMETER) {
    *control = MixerControl{kWavePeakId, controlType, 0, kPeakMaximum};
    return true;
  }
  return false;
}

bool CPulseMixerService::GetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t* value) {
  if (!loop_) return false;
  LoopLock lock(loop_);
  if (!IsOpen(handle) || !Ready()) return false;
  switch (controlId) {
    case kMasterVolumeId:
    case kMasterMuteId: {
      SinkState sink;
      if (!QueryDefaultSink(&sink)) return false;
      *value = controlId == kMasterVolumeId ? sink.volume : (sink.mute ? 1u : 0u);
      return true;
    }
    case kWaveVolumeId:
    case kWaveMuteId: {
      std::uint32_t volume = heldWaveVolume_;
      bool mute = heldWaveMute_;
      // Our first stream speaks for all of them; its values are the held
      // ones unless another program has just changed it.
      if (!streams_.empty()) QueryStream(streams_.front().index, &volume, &mute);
      *value = controlId == kWaveVolumeId ? volume : (mute ? 1u : 0u);
      return true;
    }
    case kWavePeakId:
      *value = static_cast<std::uint32_t>(std::lround(peak_.TakeLevel() * kPeakMaximum));
      return true;
    default:
      return false;
  }
}

bool CPulseMixerService::SetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t value) {
  if (!loop_) return false;
  LoopLock lock(loop_);
  if (!IsOpen(handle) || !Ready()) return false;
  switch (controlId) {
    case kMasterVolumeId:
    case kMasterMuteId:
      return SetMaster(controlId, value);
    case kWaveVolumeId:
    case kWaveMuteId:
      return SetWave(controlId, value);
    default:
      return false;
  }
}

bool CPulseMixerService::SetMaster(std::uint32_t controlId, std::uint32_t value) {
  std::pair<CPulseMixerService*, int> done{this, 0};
  if (controlId == kMasterMuteId) {
    return Await(pa_context_set_sink_mute_by_name(context_, kDefaultSink, value != 0, &Callbacks::Success, &done)) &&
           done.second;
  }
  SinkState sink;
  if (!QueryDefaultSink(&sink)) return false;
  const pa_cvolume volume = Uniform(sink.channels, std::min(value, kMixerVolumeMaximum));
  return Await(pa_context_set_sink_volume_by_name(context_, kDefaultSink, &volume, &Callbacks::Success, &done)) &&
         done.second;
}

bool CPulseMixerService::SetWave(std::uint32_t controlId, std::uint32_t value) {
  if (controlId == kWaveVolumeId) {
    heldWaveVolume_ = std::min(value, kMixerVolumeMaximum);
  } else {
    heldWaveMute_ = value != 0;
  }
  if (streams_.empty()) {
    // Only the held value changed; it is announced like any other change.
    if (heldWaveVolume_ != reportedWaveVolume_) {
      reportedWaveVolume_ = heldWaveVolume_;
      Post(kWaveVolumeId);
    }
    if (heldWaveMute_ != reportedWaveMute_) {
      reportedWaveMute_ = heldWaveMute_;
      Post(kWaveMuteId);
    }
    return true;
  }
  bool written = true;
  for (const OwnStream& stream : streams_) {
    written = (controlId == kWaveVolumeId ? WriteStreamVolume(stream, heldWaveVolume_)
                                          : WriteStreamMute(stream, heldWaveMute_)) &&
              written;
  }
  // Wait for the acknowledgements, so that a read that follows sees the
  // value written.
  CPulseDeadline deadline(loop_, context_);
  while (pendingStreamWrites_ > 0 && Ready()) {
    if (!deadline.Wait()) {
      hung_ = true;
      return false;
    }
  }
  return written;
}

bool CPulseMixerService::WriteStreamVolume(const OwnStream& stream, std::uint32_t volume) {
  const pa_cvolume cv = Uniform(stream.channels, volume);
  pa_operation* op = pa_context_set_sink_input_volume(context_, stream.index, &cv, &Callbacks::StreamWriteDone, this);
  if (!op) return false;
  ++pendingStreamWrites_;
  pa_operation_unref(op);
  return true;
}

bool CPulseMixerService::WriteStreamMute(const OwnStream& stream, bool mute) {
  pa_operation* op = pa_context_set_sink_input_mute(context_, stream.index, mute ? 1 : 0, &Callbacks::StreamWriteDone, this);
  if (!op) return false;
  ++pendingStreamWrites_;
  pa_operation_unref(op);
  return true;
}

void CPulseMixerService::RequestStreamReports() {
  for (const OwnStream& stream : streams_) {
    if (pa_operation* op = pa_context_get_sink_input_info(context_, stream.index, &Callbacks::StreamReport, this)) {
      pa_operation_unref(op);
    }
  }
}

void CPulseMixerService::ReportSink(const SinkState& state) {
  if (!owner_) return;
  if (!state.monitor.empty() && state.monitor != peak_.Source())
    peak_.Start(context_, pa_threaded_mainloop_get_api(loop_), state.monitor);
  if (!sinkKnown_) {
    sinkKnown_ = true;
    reportedMasterVolume_ = state.volume;
    reportedMasterMute_ = state.mute;
    return;
  }
  if (state.volume != reportedMasterVolume_) {
    reportedMasterVolume_ = state.volume;
    Post(kMasterVolumeId);
  }
  if (state.mute != reportedMasterMute_) {
    reportedMasterMute_ = state.mute;
    Post(kMasterMuteId);
  }
}

void CPulseMixerService::ReportStream(const pa_sink_input_info& info) {
  if (!owner_ || !IsOurs(info)) return;
  const auto known = std::find_if(streams_.begin(), streams_.end(),
                                  [&](const OwnStream& stream) { return stream.index == info.index; });
  if (known == streams_.end()) {
    // A new stream of ours takes the held values.
    streams_.push_back(OwnStream{info.index, info.volume.channels});
    WriteStreamVolume(streams_.back(), heldWaveVolume_);
    WriteStreamMute(streams_.back(), heldWaveMute_);
    return;
  }
  if (pendingStreamWrites_ > 0) return;  // the report after the writes will tell
  const std::uint32_t volume = MixerVolumeFromServer(pa_cvolume_max(&info.volume));
  const bool mute = info.mute != 0;
  // Another program's change is kept for the streams that follow.
  heldWaveVolume_ = volume;
  heldWaveMute_ = mute;
  if (volume != reportedWaveVolume_) {
    reportedWaveVolume_ = volume;
    Post(kWaveVolumeId);
  }
  if (mute != reportedWaveMute_) {
    reportedWaveMute_ = mute;
    Post(kWaveMuteId);
  }
}

void CPulseMixerService::Post(std::uint32_t controlId) {
  if (owner_) QCoreApplication::postEvent(owner_, new CMixerControlChangeEvent(handle_, controlId));
}

}  // namespace kestrel
