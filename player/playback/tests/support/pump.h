// Runs the event loop until a condition holds or the time is up.
#pragma once

#include <chrono>
#include <functional>

#include <QCoreApplication>

namespace kestrel::testing {

inline bool PumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

// Delivers every event already pending (posted events, and wakes already
// signalled) without waiting for more: for checks that nothing left over
// from what happened so far acts twice.
inline void DeliverPending() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

// Runs the event loop for a while, for checks that nothing happens.
inline void PumpFor(std::chrono::milliseconds time) {
  const auto deadline = std::chrono::steady_clock::now() + time;
  while (std::chrono::steady_clock::now() < deadline) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace kestrel::testing
