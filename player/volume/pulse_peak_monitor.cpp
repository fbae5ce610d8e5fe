#include "pulse_peak_monitor.h"

#include <pulse/pulseaudio.h>

#include <cmath>
#include <cstring>

namespace kestrel {

namespace {
constexpr std::uint32_t kPeaksPerSecond = 144;
constexpr pa_usec_t kIdleUsec = static_cast<pa_usec_t>(CPulsePeakMonitor::kIdleAfter.count()) * PA_USEC_PER_MSEC;
}  // namespace

void CPulsePeakMonitor::Start(pa_context* context, pa_mainloop_api* api, const std::string& source) {
  Stop();
  context_ = context;
  api_ = api;
  source_ = source;
}

bool CPulsePeakMonitor::Connect() {
  pa_sample_spec sampleFormat{};
  sampleFormat.format = PA_SAMPLE_FLOAT32NE;
  sampleFormat.rate = kPeaksPerSecond;
  sampleFormat.channels = 1;
  stream_ = pa_stream_new(context_, "Peak meter", &sampleFormat, nullptr);
  if (!stream_) return false;
  pa_stream_set_read_callback(stream_, &CPulsePeakMonitor::OnRead, this);
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
  attr.fragsize = sizeof(float);  // every peak as soon as it is measured
  const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_PEAK_DETECT | PA_STREAM_ADJUST_LATENCY);
  if (pa_stream_connect_record(stream_, source_.c_str(), &attr, flags) < 0) {
    pa_stream_unref(stream_);
    stream_ = nullptr;
    return false;
  }
  hold_.Reset();
  return true;
}

void CPulsePeakMonitor::Disconnect() {
  if (!stream_) return;
  pa_stream_set_read_callback(stream_, nullptr, nullptr);
  pa_stream_disconnect(stream_);
  pa_stream_unref(stream_);
  stream_ = nullptr;
  hold_.Reset();
}

void CPulsePeakMonitor::Stop() {
  Disconnect();
  if (idle_) {
    api_->time_free(idle_);
    idle_ = nullptr;
  }
  source_.clear();
  context_ = nullptr;
}

void CPulsePeakMonitor::OnRead(pa_stream* stream, std::size_t, void* self) {
  auto* monitor = static_cast<CPulsePeakMonitor*>(self);
  const void* data = nullptr;
  std::size_t bytes = 0;
  while (pa_stream_readable_size(stream) > 0) {
    if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0) return;
    // A hole (no data, a length) carries no reading: drop it.
    if (data) {
      const auto now = CPeakHold::Clock::now();
      for (std::size_t at = 0; at + sizeof(float) <= bytes; at += sizeof(float)) {
        float peak = 0.0f;
        std::memcpy(&peak, static_cast<const char*>(data) + at, sizeof(float));
        monitor->hold_.Add(peak, now);
      }
    }
    pa_stream_drop(stream);
  }
}

void CPulsePeakMonitor::OnIdle(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
  // Nobody has read the level for a while: let the stream go until somebody
  // does. The event stays, disarmed, for the next reads.
  auto* monitor = static_cast<CPulsePeakMonitor*>(self);
  monitor->Disconnect();
  pa_context_rttime_restart(monitor->context_, monitor->idle_, PA_USEC_INVALID);
}

float CPulsePeakMonitor::TakeLevel() {
  if (source_.empty() || !context_) return 0.0f;
  if (!stream_ && !Connect()) return 0.0f;
  const pa_usec_t due = pa_rtclock_now() + kIdleUsec;
  if (idle_) {
    pa_context_rttime_restart(context_, idle_, due);
  } else {
    idle_ = pa_context_rttime_new(context_, due, &CPulsePeakMonitor::OnIdle, this);
  }
  return hold_.Take(CPeakHold::Clock::now());
}

}  // namespace kestrel
