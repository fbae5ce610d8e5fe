// Records a sound server source (the test sink's monitor) on a thread of its
// own, noting when each piece arrived.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace kestrel::testing {

class CMonitorRecorder {
 public:
  using Clock = std::chrono::steady_clock;

  ~CMonitorRecorder() { Stop(); }

  // Connects to `source` (8000 Hz mono 16-bit) on `server` (empty: the one
  // the environment names) and starts recording; false when the server or
  // the source cannot be reached.
  bool Start(const std::string& source, const std::string& server = std::string());
  void Stop();

  std::vector<std::int16_t> Samples() const;
  std::size_t Count() const;
  // When the sample at `index` had arrived; max() when it never did.
  Clock::time_point ArrivalOf(std::size_t index) const;

 private:
  void Run(void* connection);

  mutable std::mutex mutex_;
  std::vector<std::int16_t> samples_;
  std::vector<std::pair<std::size_t, Clock::time_point>> arrivals_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace kestrel::testing
