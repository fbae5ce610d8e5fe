// A bounded wait on a libpulse threaded main loop. The main loop's own wait
// has no time-out; a time event that signals the loop at the deadline gives
// it one, so that a server that has stopped answering cannot hold up the
// caller for longer than the deadline.
#pragma once

#include <chrono>
#include <cstdint>

struct pa_context;
struct pa_mainloop_api;
struct pa_threaded_mainloop;
struct pa_time_event;
struct timeval;

namespace kestrel {

// How long anything waits for the sound server before it counts as gone.
inline constexpr std::chrono::milliseconds kSoundServerDeadline{2000};

class CPulseDeadline {
 public:
  // With the loop's lock held; the deadline runs from now.
  CPulseDeadline(pa_threaded_mainloop* loop, pa_context* context,
                 std::chrono::milliseconds limit = kSoundServerDeadline);
  // With the loop's lock held.
  ~CPulseDeadline();
  CPulseDeadline(const CPulseDeadline&) = delete;
  CPulseDeadline& operator=(const CPulseDeadline&) = delete;

  // Waits once for the loop to be signalled, the lock held; false, without
  // waiting, once the deadline has passed. Use in a loop:
  //   while (!done) if (!deadline.Wait()) { ...gave up... }
  bool Wait();
  bool Passed() const;

 private:
  static void OnDeadline(pa_mainloop_api* api, pa_time_event* event, const struct timeval* tv, void* loop);

  pa_threaded_mainloop* loop_;
  std::uint64_t deadlineUsec_;
  pa_time_event* event_ = nullptr;
};

}  // namespace kestrel
