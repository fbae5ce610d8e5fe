#include "pulse_peak_monitor.h"

#include <pulse/pulseaudio.h>

#include <cmath>
#include <cstring>

namespace kestrel {

namespace {
constexpr std::uint32_t kPeaksPerSecond = 144;
}  // namespace

bool CPulsePeakMonitor::Start(pa_context* context, const std::string& source) {
  Stop();
  pa_sample_spec sampleFormat{};
  sampleFormat.format = PA_SAMPLE_FLOAT32NE;
  sampleFormat.rate = kPeaksPerSecond;
  sampleFormat.channels = 1;
  stream_ = pa_stream_new(context, "Peak meter", &sampleFormat, nullptr);
  if (!stream_) return false;
  pa_stream_set_read_callback(stream_, &CPulsePeakMonitor::OnRead, this);
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
  attr.fragsize = sizeof(float);  // every peak as soon as it is measured
  const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_PEAK_DETECT | PA_STREAM_ADJUST_LATENCY);
  if (pa_stream_connect_record(stream_, source.c_str(), &attr, flags) < 0) {
    pa_stream_unref(stream_);
    stream_ = nullptr;
    return false;
  }
  source_ = source;
  hold_.Reset();
  return true;
}

void CPulsePeakMonitor::Stop() {
  if (!stream_) return;
  pa_stream_set_read_callback(stream_, nullptr, nullptr);
  pa_stream_disconnect(stream_);
  pa_stream_unref(stream_);
  stream_ = nullptr;
  source_.clear();
  hold_.Reset();
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

float CPulsePeakMonitor::TakeLevel() {
  if (!stream_) return 0.0f;
  return hold_.Take(CPeakHold::Clock::now());
}

}  // namespace kestrel
