// The peak of what a sound server's sink plays: a record stream on the
// sink's monitor with peak detection, one float sample at a time, a little
// over a hundred a second. The stream exists only while the level is read:
// the first read connects it, and it is let go once no read has come for a
// while (a hidden meter). Even corked, a stream that asks for peaks this
// often makes the server render its sink in pieces of a few milliseconds;
// without it, neither this process nor the server wakes for the meter.
// Every operation runs with the main-loop lock of the context held.
#pragma once

#include <chrono>
#include <string>

#include "peak_hold.h"

struct pa_context;
struct pa_mainloop_api;
struct pa_stream;
struct pa_time_event;
struct timeval;

namespace kestrel {

class CPulsePeakMonitor {
 public:
  // No read for this long: the stream goes.
  static constexpr std::chrono::milliseconds kIdleAfter{500};

  CPulsePeakMonitor() = default;
  ~CPulsePeakMonitor() { Stop(); }
  CPulsePeakMonitor(const CPulsePeakMonitor&) = delete;
  CPulsePeakMonitor& operator=(const CPulsePeakMonitor&) = delete;

  // Measures `source` (a monitor source name) from the next read on; stops
  // an earlier stream first. `api` is the context's main loop's.
  void Start(pa_context* context, pa_mainloop_api* api, const std::string& source);
  void Stop();
  const std::string& Source() const { return source_; }

  // The largest peak since the last call, 0..1. A source that has delivered
  // nothing for a while (a suspended sink sends no silence) reads as 0, and
  // so does the first read, which connects the stream.
  float TakeLevel();
  // Whether the stream exists (the level has been read lately).
  bool Running() const { return stream_ != nullptr; }

 private:
  static void OnRead(pa_stream* stream, std::size_t bytes, void* self);
  static void OnIdle(pa_mainloop_api* api, pa_time_event* event, const struct timeval* tv, void* self);
  bool Connect();
  void Disconnect();

  pa_context* context_ = nullptr;
  pa_mainloop_api* api_ = nullptr;
  pa_stream* stream_ = nullptr;
  pa_time_event* idle_ = nullptr;  // fires kIdleAfter after the last read
  std::string source_;
  CPeakHold hold_;
};

}  // namespace kestrel
