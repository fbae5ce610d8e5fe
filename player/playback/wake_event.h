#pragma once

#include <chrono>

namespace kestrel {

// An auto-reset event: Set leaves it signalled until one waiter has taken
// the signal, so a pulse given before anyone waits is never lost.
class IWakeEvent {
 public:
  virtual ~IWakeEvent() = default;
  // Any thread. Signals the event; several Sets before a wait give one wake.
  virtual void Set() = 0;
  // Clears a pending signal.
  virtual void Reset() = 0;
  // Blocks until signalled, then clears the signal.
  virtual void Wait() = 0;
  // As Wait, giving up after `timeout`; true when the signal was taken.
  virtual bool WaitFor(std::chrono::milliseconds timeout) = 0;
};

}  // namespace kestrel
