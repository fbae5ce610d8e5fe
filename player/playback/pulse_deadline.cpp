#include "pulse_deadline.h"

#include <pulse/pulseaudio.h>

namespace kestrel {

CPulseDeadline::CPulseDeadline(pa_threaded_mainloop* loop, pa_context* context, std::chrono::milliseconds limit)
    : loop_(loop), deadlineUsec_(pa_rtclock_now() + static_cast<pa_usec_t>(limit.count()) * PA_USEC_PER_MSEC) {
  if (context) event_ = pa_context_rttime_new(context, deadlineUsec_, &CPulseDeadline::OnDeadline, loop_);
}

CPulseDeadline::~CPulseDeadline() {
  if (event_) pa_threaded_mainloop_get_api(loop_)->time_free(event_);
}

void CPulseDeadline::OnDeadline(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* loop) {
  pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}

bool CPulseDeadline::Passed() const { return pa_rtclock_now() >= deadlineUsec_; }

bool CPulseDeadline::Wait() {
  // Without its time event nothing would wake a wait at the deadline.
  if (!event_ || Passed()) return false;
  pa_threaded_mainloop_wait(loop_);
  return true;
}

}  // namespace kestrel
