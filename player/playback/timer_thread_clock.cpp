#include "timer_thread_clock.h"

#include <chrono>

namespace kestrel {

CTimerThreadClock::~CTimerThreadClock() { Stop(); }

void CTimerThreadClock::Start(int periodMs, IWakeEvent& event) {
  Stop();
  {
    std::lock_guard lock(mutex_);
    stop_ = false;
  }
  thread_ = std::thread(&CTimerThreadClock::Run, this, periodMs, &event);
}

void CTimerThreadClock::Stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  stopRequested_.notify_one();
  thread_.join();
}

void CTimerThreadClock::Run(int periodMs, IWakeEvent* event) {
  const auto period = std::chrono::milliseconds(periodMs);
  auto deadline = std::chrono::steady_clock::now() + period;
  std::unique_lock lock(mutex_);
  while (!stopRequested_.wait_until(lock, deadline, [this] { return stop_; })) {
    event->Set();
    deadline += period;
  }
}

}  // namespace kestrel
