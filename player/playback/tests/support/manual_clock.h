// A presentation clock that ticks only when the test says so.
#pragma once

#include <mutex>

#include "periodic_clock.h"

namespace kestrel::testing {

class CManualClock final : public IPeriodicClock {
 public:
  void Start(int periodMs, IWakeEvent& event) override {
    std::lock_guard lock(mutex_);
    period_ = periodMs;
    event_ = &event;
    ++starts_;
  }
  void Stop() override {
    std::lock_guard lock(mutex_);
    event_ = nullptr;
  }
  // One tick; false when the clock is not running.
  bool Tick() {
    std::lock_guard lock(mutex_);
    if (!event_) return false;
    event_->Set();
    return true;
  }
  int Period() const {
    std::lock_guard lock(mutex_);
    return period_;
  }
  int Starts() const {
    std::lock_guard lock(mutex_);
    return starts_;
  }
  bool Running() const {
    std::lock_guard lock(mutex_);
    return event_ != nullptr;
  }

 private:
  mutable std::mutex mutex_;
  IWakeEvent* event_ = nullptr;
  int period_ = 0;
  int starts_ = 0;
};

}  // namespace kestrel::testing
