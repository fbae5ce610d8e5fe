#include "pulse_mixer_service.h"

#include <algorithm>
#include <cmath>

#include <QCoreApplication>

#include "mixer_control_change_event.h"
#include "mixer_volume_scale.h"
#include "pulse_deadline.h"
#include "pulse_mixer_internal.h"

namespace kestrel {

namespace {

// The product name field holds so many bytes; cut on a character boundary.
std::string ProductName(const char* description) {
  std::string name = description ? description : "";
  if (name.size() <= kMixerProductNameLength) return name;
  std::size_t end = kMixerProductNameLength;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

pa_cvolume Uniform(std::uint8_t channels, std::uint32_t mixerVolume) {
  pa_cvolume volume;
  pa_cvolume_set(&volume, std::max<std::uint8_t>(channels, 1), ServerVolumeFromMixer(mixerVolume));
  return volume;
}

}  // namespace

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

bool CPulseMixerService::GetDeviceName(MixerHandle handle, std::string* name) {
  if (!loop_) return false;
  LoopLock lock(loop_);
  if (!IsOpen(handle)) return false;
  SinkState sink;
  if (!QueryDefaultSink(&sink)) return false;
  *name = ProductName(sink.description.c_str());
  return true;
}

bool CPulseMixerService::FindControl(MixerHandle handle, MixerControlKind kind, MixerControl* control) {
  if (!loop_) return false;
  {
    LoopLock lock(loop_);
    if (!IsOpen(handle)) return false;
  }
  switch (kind) {
    case MixerControlKind::MasterVolume:
      *control = MixerControl{kMasterVolumeId, 0, kMixerVolumeMaximum};
      return true;
    case MixerControlKind::MasterMute:
      *control = MixerControl{kMasterMuteId, 0, 1};
      return true;
    case MixerControlKind::WaveVolume:
      *control = MixerControl{kWaveVolumeId, 0, kMixerVolumeMaximum};
      return true;
    case MixerControlKind::WaveMute:
      *control = MixerControl{kWaveMuteId, 0, 1};
      return true;
    case MixerControlKind::WavePeakMeter:
      *control = MixerControl{kWavePeakId, 0, kPeakMaximum};
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
  pa_operation* op =
      pa_context_set_sink_input_mute(context_, stream.index, mute ? 1 : 0, &Callbacks::StreamWriteDone, this);
  if (!op) return false;
  ++pendingStreamWrites_;
  pa_operation_unref(op);
  return true;
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
