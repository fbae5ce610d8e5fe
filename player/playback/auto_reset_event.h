// The wake event: a signalled flag under a mutex with a condition variable.
#pragma once

#include <condition_variable>
#include <mutex>

#include "wake_event.h"

namespace kestrel {

class CAutoResetEvent final : public IWakeEvent {
 public:
  void Set() override;
  void Reset() override;
  void Wait() override;
  bool WaitFor(std::chrono::milliseconds timeout) override;

 private:
  std::mutex mutex_;
  std::condition_variable signalled_;
  bool set_ = false;
};

}  // namespace kestrel
