#include "monitor_recorder.h"

#include <pulse/simple.h>

namespace kestrel::testing {

bool CMonitorRecorder::Start(const std::string& source, const std::string& server) {
  Stop();
  pa_sample_spec sampleFormat{};
  sampleFormat.format = PA_SAMPLE_S16LE;
  sampleFormat.rate = 8000;
  sampleFormat.channels = 1;
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.fragsize = 320;  // one buffer: pieces arrive as they are mixed
  int error = 0;
  pa_simple* connection = pa_simple_new(server.empty() ? nullptr : server.c_str(), "kestrel monitor", PA_STREAM_RECORD,
                                        source.c_str(), "monitor", &sampleFormat, nullptr, &attr, &error);
  if (!connection) return false;
  stop_ = false;
  thread_ = std::thread(&CMonitorRecorder::Run, this, connection);
  return true;
}

void CMonitorRecorder::Run(void* handle) {
  auto* connection = static_cast<pa_simple*>(handle);
  std::int16_t piece[160];
  int error = 0;
  while (!stop_) {
    if (pa_simple_read(connection, piece, sizeof piece, &error) < 0) break;
    std::lock_guard lock(mutex_);
    samples_.insert(samples_.end(), piece, piece + 160);
    arrivals_.emplace_back(samples_.size(), Clock::now());
  }
  pa_simple_free(connection);
}

void CMonitorRecorder::Stop() {
  if (!thread_.joinable()) return;
  stop_ = true;
  thread_.join();
}

std::vector<std::int16_t> CMonitorRecorder::Samples() const {
  std::lock_guard lock(mutex_);
  return samples_;
}

std::size_t CMonitorRecorder::Count() const {
  std::lock_guard lock(mutex_);
  return samples_.size();
}

CMonitorRecorder::Clock::time_point CMonitorRecorder::ArrivalOf(std::size_t index) const {
  std::lock_guard lock(mutex_);
  for (const auto& [end, when] : arrivals_) {
    if (index < end) return when;
  }
  return Clock::time_point::max();
}

}  // namespace kestrel::testing
