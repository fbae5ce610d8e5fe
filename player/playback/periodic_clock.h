#pragma once

#include "wake_event.h"

namespace kestrel {

// The presentation clock: sets an event once per period while it runs.
class IPeriodicClock {
 public:
  virtual ~IPeriodicClock() = default;
  // Starts ticking: `event` is set every `periodMs` milliseconds, the first
  // time one period after Start. Ticks stay on their schedule however long
  // the waiter takes (no drift). Only while stopped.
  virtual void Start(int periodMs, IWakeEvent& event) = 0;
  // Stops ticking; no tick follows once Stop has returned. Harmless when stopped.
  virtual void Stop() = 0;
};

}  // namespace kestrel
