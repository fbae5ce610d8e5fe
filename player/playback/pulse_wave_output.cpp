#include "pulse_wave_output.h"

#include <pulse/pulseaudio.h>

#include <utility>

namespace kestrel {

namespace {

// How often the played position is read from the server: one buffer's time.
constexpr pa_usec_t kTimingPeriodUsec = 20000;
// End-to-end latency asked of the server.
constexpr std::uint32_t kLatencyTargetMs = 100;

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

CPulseWaveOutput::CPulseWaveOutput(std::string clientName, std::uint32_t maxPendingBytes, std::string sinkName)
    : clientName_(std::move(clientName)), sinkName_(std::move(sinkName)), maxPendingBytes_(maxPendingBytes) {}

CPulseWaveOutput::~CPulseWaveOutput() { Close(); }

void CPulseWaveOutput::OnContextState(pa_context*, void* self) {
  pa_threaded_mainloop_signal(static_cast<CPulseWaveOutput*>(self)->loop_, 0);
}

void CPulseWaveOutput::OnStreamState(pa_stream*, void* self) {
  pa_threaded_mainloop_signal(static_cast<CPulseWaveOutput*>(self)->loop_, 0);
}

void CPulseWaveOutput::OnOperationDone(pa_stream*, int, void* self) {
  pa_threaded_mainloop_signal(static_cast<CPulseWaveOutput*>(self)->loop_, 0);
}

void CPulseWaveOutput::Await(pa_operation* operation) {
  if (!operation) return;
  while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING) pa_threaded_mainloop_wait(loop_);
  pa_operation_unref(operation);
}

bool CPulseWaveOutput::Open(const WaveFormat& format, IWaveOutputListener* listener) {
  Close();
  format_ = format;
  listener_ = listener;
  loop_ = pa_threaded_mainloop_new();
  if (!loop_) return false;
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), clientName_.c_str());
  if (!context_) {
    Teardown();
    return false;
  }
  pa_context_set_state_callback(context_, &CPulseWaveOutput::OnContextState, this);
  // No autospawn: a connect that forks a daemon can stall for seconds.
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
      pa_threaded_mainloop_start(loop_) < 0) {
    Teardown();
    return false;
  }
  bool ready = false;
  {
    LoopLock lock(loop_);
    for (;;) {
      const pa_context_state_t state = pa_context_get_state(context_);
      if (state == PA_CONTEXT_READY) break;
      if (!PA_CONTEXT_IS_GOOD(state)) break;
      pa_threaded_mainloop_wait(loop_);
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
        for (;;) {
          const pa_stream_state_t state = pa_stream_get_state(stream_);
          if (state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state)) break;
          pa_threaded_mainloop_wait(loop_);
        }
        ready = pa_stream_get_state(stream_) == PA_STREAM_READY;
      }
    }
    if (ready) {
      corked_ = true;
      timingRequested_ = false;
      accounting_.Restart(0);
      nextTick_ = pa_rtclock_now() + kTimingPeriodUsec;
      timer_ = pa_context_rttime_new(context_, nextTick_, &CPulseWaveOutput::OnTimer, this);
    }
  }
  if (!ready) {
    Teardown();
    return false;
  }
  return true;
}

void CPulseWaveOutput::OnTimer(pa_mainloop_api*, pa_time_event* event, const struct timeval*, void* self) {
  auto* output = static_cast<CPulseWaveOutput*>(self);
  if (!output->timingRequested_ && output->stream_) {
    pa_operation* operation = pa_stream_update_timing_info(output->stream_, &CPulseWaveOutput::OnTimingInfo, output);
    if (operation) {
      output->timingRequested_ = true;
      pa_operation_unref(operation);
    }
  }
  // Absolute deadlines, so that the polling does not drift; after a stall
  // the next tick is simply one period from now.
  output->nextTick_ += kTimingPeriodUsec;
  const pa_usec_t now = pa_rtclock_now();
  if (output->nextTick_ < now) output->nextTick_ = now + kTimingPeriodUsec;
  pa_context_rttime_restart(output->context_, event, output->nextTick_);
}

void CPulseWaveOutput::OnTimingInfo(pa_stream*, int success, void* self) {
  auto* output = static_cast<CPulseWaveOutput*>(self);
  output->timingRequested_ = false;
  if (success) output->Account();
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
  if (pa_stream_write(stream_, data, bytes, nullptr, 0, PA_SEEK_RELATIVE) == 0) {
    accounting_.Add(bytes, tag);
  } else if (listener_) {
    listener_->OnBufferFinished(tag);  // refused: give it back at once
  }
}

void CPulseWaveOutput::Pause() {
  if (!stream_) return;
  LoopLock lock(loop_);
  corked_ = true;
  Await(pa_stream_cork(stream_, 1, &CPulseWaveOutput::OnOperationDone, this));
}

void CPulseWaveOutput::Restart() {
  if (!stream_) return;
  LoopLock lock(loop_);
  corked_ = false;
  // Commands on one connection are handled in order: no need to wait here.
  pa_operation* operation = pa_stream_cork(stream_, 0, nullptr, nullptr);
  if (operation) pa_operation_unref(operation);
}

void CPulseWaveOutput::Reset() {
  if (!stream_) return;
  LoopLock lock(loop_);
  // Flushing a running stream misbehaves: cork first.
  corked_ = true;
  Await(pa_stream_cork(stream_, 1, &CPulseWaveOutput::OnOperationDone, this));
  Await(pa_stream_flush(stream_, &CPulseWaveOutput::OnOperationDone, this));
  accounting_.GiveBackAll(listener_);
  // After a flush the server writes on from where it has read; learn where
  // that is before anything new is written.
  // A request of the timer may still be on its way; a failed stream cancels
  // it without calling back.
  while (timingRequested_ && PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) pa_threaded_mainloop_wait(loop_);
  timingRequested_ = true;
  pa_operation* operation = pa_stream_update_timing_info(stream_, &CPulseWaveOutput::OnTimingInfo, this);
  if (operation) {
    Await(operation);
  } else {
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
    if (timer_ && context_) {
      pa_threaded_mainloop_get_api(loop_)->time_free(timer_);
    }
    timer_ = nullptr;
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
}

}  // namespace kestrel
