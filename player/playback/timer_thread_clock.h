// The presentation clock as a thread that sleeps to absolute steady-clock
// deadlines. Linux timers need no resolution request: the sleep is already
// as fine as the scheduler allows.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "periodic_clock.h"

namespace kestrel {

class CTimerThreadClock final : public IPeriodicClock {
 public:
  ~CTimerThreadClock() override;
  void Start(int periodMs, IWakeEvent& event) override;
  void Stop() override;

 private:
  void Run(int periodMs, IWakeEvent* event);

  std::mutex mutex_;
  std::condition_variable stopRequested_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace kestrel
