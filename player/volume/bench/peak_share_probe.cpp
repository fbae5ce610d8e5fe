// How often the volume dialog's meter lights a segment: records the peaks of
// a sound server source as the meter's monitor does (144 a second) and reads
// them every 50 ms as the dialog's timer does, once keeping only the latest
// peak and once holding the largest since the last read (CPeakHold). Prints
// the share of reads that light the first of ten segments for each, over the
// reads between the first and the last audible peak.
//
// usage: peak_share_probe SOURCE SECONDS
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "peak_hold.h"

namespace {

constexpr std::uint32_t kPeaksPerSecond = 144;
constexpr auto kMeterPeriod = std::chrono::milliseconds(50);
constexpr int kSegments = 10;

struct Probe {
  pa_threaded_mainloop* loop = nullptr;
  kestrel::CPeakHold hold;
  float latest = 0.0f;
  bool any = false;
};

void OnRead(pa_stream* stream, std::size_t, void* self) {
  auto* probe = static_cast<Probe*>(self);
  const void* data = nullptr;
  std::size_t bytes = 0;
  while (pa_stream_readable_size(stream) > 0) {
    if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0) return;
    if (data) {
      const auto now = kestrel::CPeakHold::Clock::now();
      for (std::size_t at = 0; at + sizeof(float) <= bytes; at += sizeof(float)) {
        float peak = 0.0f;
        std::memcpy(&peak, static_cast<const char*>(data) + at, sizeof(float));
        probe->hold.Add(peak, now);
        probe->latest = std::fabs(peak);
        probe->any = true;
      }
    }
    pa_stream_drop(stream);
  }
}

void OnContextState(pa_context*, void* loop) {
  pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}

bool Lights(float level) { return static_cast<int>(level * kSegments) >= 1; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SOURCE SECONDS\n", argv[0]);
    return 2;
  }
  Probe probe;
  probe.loop = pa_threaded_mainloop_new();
  pa_context* context = pa_context_new(pa_threaded_mainloop_get_api(probe.loop), "peak share probe");
  pa_context_set_state_callback(context, OnContextState, probe.loop);
  pa_threaded_mainloop_lock(probe.loop);
  pa_threaded_mainloop_start(probe.loop);
  pa_context_connect(context, nullptr, PA_CONTEXT_NOFLAGS, nullptr);
  while (pa_context_get_state(context) != PA_CONTEXT_READY) {
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) {
      std::fprintf(stderr, "no sound server\n");
      return 1;
    }
    pa_threaded_mainloop_wait(probe.loop);
  }
  pa_sample_spec format{PA_SAMPLE_FLOAT32NE, kPeaksPerSecond, 1};
  pa_stream* stream = pa_stream_new(context, "Peak share probe", &format, nullptr);
  pa_stream_set_read_callback(stream, OnRead, &probe);
  pa_buffer_attr attr{};
  attr.maxlength = attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
  attr.fragsize = sizeof(float);
  const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_PEAK_DETECT | PA_STREAM_ADJUST_LATENCY);
  if (pa_stream_connect_record(stream, argv[1], &attr, flags) < 0) {
    std::fprintf(stderr, "cannot record %s\n", argv[1]);
    return 1;
  }
  pa_threaded_mainloop_unlock(probe.loop);

  struct Read {
    bool latest, held;
  };
  std::vector<Read> reads;
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[2]));
  auto tick = std::chrono::steady_clock::now();
  while ((tick += kMeterPeriod) < end) {
    std::this_thread::sleep_until(tick);
    pa_threaded_mainloop_lock(probe.loop);
    const float held = probe.hold.Take(kestrel::CPeakHold::Clock::now());
    reads.push_back({probe.any && Lights(probe.latest), Lights(held)});
    pa_threaded_mainloop_unlock(probe.loop);
  }
  pa_threaded_mainloop_stop(probe.loop);

  // The reads while the sound plays: from the first to the last that lit.
  std::size_t first = reads.size(), last = 0;
  for (std::size_t i = 0; i < reads.size(); ++i)
    if (reads[i].held) first = std::min(first, i), last = i;
  if (first > last) {
    std::fprintf(stderr, "nothing audible on %s\n", argv[1]);
    return 1;
  }
  int latest = 0, held = 0;
  for (std::size_t i = first; i <= last; ++i) latest += reads[i].latest, held += reads[i].held;
  const double n = static_cast<double>(last - first + 1);
  std::printf("reads %zu latest-peak %.1f %% held-peak %.1f %%\n", last - first + 1, 100.0 * latest / n,
              100.0 * held / n);
  return 0;
}
