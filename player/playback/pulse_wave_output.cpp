#include "pulse_wave_output.h"

#include <pulse/pulseaudio.h>

#include <utility>

#include "pulse_deadline.h"

namespace kestrel {

namespace {

// How often the played position is read from the server while the stream
// plays: every second buffer. Each reading reports every buffer it finds
// finished, one notice each; asking every buffer would wake this process
// and the server fifty times a second for it, and a picture is at most one
// period late on the sound it is timed from.
constexpr pa_usec_t kTimingPeriodUsec = 40000;
// End-to-end latency asked of the server. The sink renders in pieces of
// about half of it: 200 ms lets it wake ten times a second, not twenty, and
// stays short enough for the start of the sound.
constexpr std::uint32_t kLatencyTargetMs = 200;
constexpr pa_usec_t kDeadlineUsec = static_cast<pa_usec_t>(kSoundServerDeadline.count()) * PA_USEC_PER_MSEC;

class LoopLock {
 public:
  explicit LoopLock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
  ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
  LoopLock(const LoopLock&) = delete;
  LoopLock& operator=(const LoopLock&) = delete;

 private:
  pa_threaded_mainloop* loop_;
};

}  // namespace

CPulseWaveOutput::CPulseWaveOutput(std::string clientName, std::uint32_t maxPendingBytes, std::string sinkName,
                                   std::string server)
    : clientName_(std::move(clientName)),
      sinkName_(std::move(sinkName)),
      server_(std::move(server)),
      maxPendingBytes_(maxPendingBytes) {}

CPulseWaveOutput::~CPulseWaveOutput() { Close(); }

void CPulseWaveOutput::OnContextState(pa_context* context, void* self) {
  auto* output = static_cast<CPulseWaveOutput*>(self);
  if (output->opened_ && !PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) output->Fail();
  pa_threaded_mainloop_signal(output->loop_, 0);
}

void CPulseWaveOutput::OnStreamState(pa_stream* stream, void* self) {
  auto* output = static_cast<CPulseWaveOutput*>(self);
  if (output->opened_ && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) output->Fail();
  pa_threaded_mainloop_signal(output->loop_, 0);
}

void CPulseWaveOutput::OnOperationDone(pa_stream*, int, void* self) {
  pa_threaded_mainloop_signal(static_cast<CPulseWaveOutput*>(self)->loop_, 0);
}

void CPulseWaveOutput::Fail() {
  if (failed_) return;
  failed_ = true;
  StopPolling();
  if (opened_ && listener_) listener_->OnDeviceLost();
}

bool CPulseWaveOutput::Await(pa_operation* operation, CPulseDeadline& deadline) {
  if (!operation) {
    // Refused at once: the connection or the stream is no longer usable.
    Fail();
    return false;
  }
  bool answered = !failed_;
  while (answered && pa_operation_get_state(operation) == PA_OPERATION_RUNNING) answered = deadline.Wait();
  if (!answered) {
    // Its callback must not come after we have gone.
    pa_operation_cancel(operation);
    Fail();
  }
  const bool done = pa_operation_get_state(operation) == PA_OPERATION_DONE;
  pa_operation_unref(operation);
  return done;
}

bool CPulseWaveOutput::Open(const WaveFormat& format, IWaveOutputListener* listener) {
  Close();
  format_ = format;
  listener_ = listener;
  opened_ = failed_ = false;
  loop_ = pa_threaded_mainloop_new();
  if (!loop_) return false;
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), clientName_.c_str());
  if (!context_) {
    Teardown();
    return false;
  }
  pa_context_set_state_callback(context_, &CPulseWaveOutput::OnContextState, this);
  // No autospawn: a connect that forks a daemon can stall for seconds.
  if (pa_context_connect(context_, server_.empty() ? nullptr : server_.c_str(), PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
      pa_threaded_mainloop_start(loop_) < 0) {
    Teardown();
    return false;
  }
  bool ready = false;
  {
    LoopLock lock(loop_);
    // One deadline for the whole of Open: a server that accepts the
    // connection and then stops answering does not hold the caller longer.
    CPulseDeadline deadline(loop_, context_);
    bool answered = true;
    while (answered && pa_context_get_state(context_) != PA_CONTEXT_READY &&
           PA_CONTEXT_IS_GOOD(pa_context_get_state(context_))) {
      answered = deadline.Wait();
    }
    if (pa_context_get_state(context_) == PA_CONTEXT_READY) {
      pa_sample_spec sampleFormat{};
      sampleFormat.format = PA_SAMPLE_S16LE;
      sampleFormat.rate = static_cast<std::uint32_t>(format.sampleRate);
      sampleFormat.channels = static_cast<std::uint8_t>(format.channels);
      stream_ = pa_stream_new(context_, "Message", &sampleFormat, nullptr);
    }
    if (stream_) {
      pa_stream_set_state_callback(stream_, &CPulseWaveOutput::OnStreamState, this);
      // The server's buffer holds the whole ring, so no write ever waits;
      // the latency target is kept short, so that the sink does not render
      // seconds ahead and the played position follows what is heard.
      const std::uint32_t frameBytes = static_cast<std::uint32_t>(format.bytesPerSample * format.channels);
      const std::uint32_t bytesPerSecond = frameBytes * static_cast<std::uint32_t>(format.sampleRate);
      pa_buffer_attr attr{};
      attr.maxlength = maxPendingBytes_ * 2;
      attr.tlength = bytesPerSecond * kLatencyTargetMs / 1000;
      attr.prebuf = 0;  // play whatever is there as soon as uncorked
      attr.minreq = frameBytes;
      attr.fragsize = static_cast<std::uint32_t>(-1);
      // No DONT_MOVE: the stream follows the user's default device.
      const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
      const char* sink = sinkName_.empty() ? nullptr : sinkName_.c_str();
      if (pa_stream_connect_playback(stream_, sink, &attr, flags, nullptr, nullptr) == 0) {
        while (answered && pa_stream_get_state(stream_) != PA_STREAM_READY &&
               PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) {
          answered = deadline.Wait();
        }
        ready = pa_stream_get_state(stream_) == PA_STREAM_READY;
      }
    }
    if (ready) {
      corked_ = true;
      timingRequested_ = false;
      accounting_.Restart(0);
      opened_ = true;
    }
  }
  if (!ready) {
    Teardown();
    return false;
  }
  return true;
}

void CPulseWaveOutput::StartPolling() {
  if (timer_ || failed_) return;
  nextTick_ = pa_rtclock_now() + kTimingPeriodUsec;
  timer_ = pa_context_rttime_new(context_, nextTick_, &CPulseWaveOutput::OnTimer, this);
}

void CPulseWaveOutput::StopPolling() {
  if (!timer_) return;
  pa_threaded_mainloop_get_api(loop_)->time_free(timer_);
  timer_ = nullptr;
}

bool CPulseWaveOutput::IsPolling() const {
  if (!loop_) return false;
  LoopLock lock(loop_);
  return timer_ != nullptr;
}

void CPulseWaveOutput::OnTimer(pa_mainloop_api*, pa_time_event* event, const struct timeval*, void* self) {
  auto* output = static_cast<CPulseWaveOutput*>(self);
  const pa_usec_t now = pa_rtclock_now();
  if (output->timingRequested_) {
    // A server that leaves the played position unanswered this long has
    // stopped: what it holds will not be heard.
    if (now - output->timingRequestedAt_ > kDeadlineUsec) {
      output->Fail();  // frees this timer
      return;
    }
  } else if (output->stream_) {
    pa_operation* operation = pa_stream_update_timing_info(output->stream_, &CPulseWaveOutput::OnTimingInfo, output);
    if (operation) {
      output->timingRequested_ = true;
      output->timingRequestedAt_ = now;
      pa_operation_unref(operation);
    }
  }
  // Absolute deadlines, so that the polling does not drift; after a stall
  // the next tick is simply one period from now.
  output->nextTick_ += kTimingPeriodUsec;
  if (output->nextTick_ < now) output->nextTick_ = now + kTimingPeriodUsec;
  pa_context_rttime_restart(output->context_, event, output->nextTick_);
}

void CPulseWaveOutput::OnTimingInfo(pa_stream*, int success, void* self) {
  auto* output = static_cast<CPulseWaveOutput*>(self);
  output->timingRequested_ = false;
  if (success && !output->failed_) output->Account();
  pa_threaded_mainloop_signal(output->loop_, 0);
}

void CPulseWaveOutput::Account() {
  const pa_timing_info* info = pa_stream_get_timing_info(stream_);
  if (!info || info->read_index_corrupt) return;
  std::int64_t played = info->read_index;
  if (!corked_) {
    // What the sink still holds has been read from us but not yet heard.
    const std::size_t held = pa_usec_to_bytes(info->sink_usec, pa_stream_get_sample_spec(stream_));
    played -= static_cast<std::int64_t>(held);
  }
  accounting_.Advance(played, listener_);
}

void CPulseWaveOutput::Write(const std::uint8_t* data, std::size_t bytes, std::uint32_t tag) {
  if (!stream_) return;
  LoopLock lock(loop_);
  // A lost output keeps what it is given: never heard, never reported; the
  // owner plays it elsewhere.
  if (failed_) return;
  // One message to the server however many buffers; each is accounted on
  // its own.
  if (pa_stream_write(stream_, data, bytes, nullptr, 0, PA_SEEK_RELATIVE) == 0) {
    const std::size_t buffers = BuffersIn(format_, bytes);
    for (std::size_t i = 0; i < buffers; ++i) accounting_.Add(BufferBytesAt(format_, bytes, i), tag);
  } else {
    Fail();
  }
}

void CPulseWaveOutput::Pause() {
  if (!stream_) return;
  LoopLock lock(loop_);
  if (failed_) return;
  corked_ = true;
  StopPolling();
  CPulseDeadline deadline(loop_, context_);
  Await(pa_stream_cork(stream_, 1, &CPulseWaveOutput::OnOperationDone, this), deadline);
}

void CPulseWaveOutput::Restart() {
  if (!stream_) return;
  LoopLock lock(loop_);
  if (failed_) return;
  corked_ = false;
  // Commands on one connection are handled in order: no need to wait here.
  // A server that no longer answers is found by the timing requests.
  pa_operation* operation = pa_stream_cork(stream_, 0, nullptr, nullptr);
  if (!operation) {
    Fail();
    return;
  }
  pa_operation_unref(operation);
  StartPolling();
}

void CPulseWaveOutput::Reset() {
  if (!stream_) return;
  LoopLock lock(loop_);
  StopPolling();
  // One deadline for all the waits of a reset.
  CPulseDeadline deadline(loop_, context_);
  if (!failed_) {
    // Flushing a running stream misbehaves: cork first.
    corked_ = true;
    if (Await(pa_stream_cork(stream_, 1, &CPulseWaveOutput::OnOperationDone, this), deadline)) {
      Await(pa_stream_flush(stream_, &CPulseWaveOutput::OnOperationDone, this), deadline);
    }
  }
  accounting_.GiveBackAll(listener_);
  if (failed_) return;
  // After a flush the server writes on from where it has read; learn where
  // that is before anything new is written. A request of the timer may
  // still be on its way; a failed stream cancels it without calling back.
  bool answered = true;
  while (answered && timingRequested_ && PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) answered = deadline.Wait();
  if (!answered) {
    Fail();
    return;
  }
  timingRequested_ = true;
  if (!Await(pa_stream_update_timing_info(stream_, &CPulseWaveOutput::OnTimingInfo, this), deadline)) {
    timingRequested_ = false;
  }
  const pa_timing_info* info = pa_stream_get_timing_info(stream_);
  accounting_.Restart(info ? info->read_index : accounting_.Written());
}

void CPulseWaveOutput::Close() {
  if (!loop_) return;
  Reset();
  Teardown();
}

void CPulseWaveOutput::Teardown() {
  if (!loop_) return;
  {
    LoopLock lock(loop_);
    StopPolling();
    opened_ = false;
  }
  pa_threaded_mainloop_stop(loop_);
  if (stream_) {
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
  }
  if (context_) {
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
  }
  pa_threaded_mainloop_free(loop_);
  loop_ = nullptr;
  listener_ = nullptr;
  failed_ = false;
}

}  // namespace kestrel
