// The peak of what a sound server's sink plays: a record stream on the
// sink's monitor with peak detection, one float sample at a time, a little
// over a hundred a second. Every operation runs with the main-loop lock of
// the context held.
#pragma once

#include <string>

#include "peak_hold.h"

struct pa_context;
struct pa_stream;

namespace kestrel {

class CPulsePeakMonitor {
 public:
  CPulsePeakMonitor() = default;
  ~CPulsePeakMonitor() { Stop(); }
  CPulsePeakMonitor(const CPulsePeakMonitor&) = delete;
  CPulsePeakMonitor& operator=(const CPulsePeakMonitor&) = delete;

  // Starts recording from `source` (a monitor source name); stops an
  // earlier stream first.
  bool Start(pa_context* context, const std::string& source);
  void Stop();
  const std::string& Source() const { return source_; }

  // The largest peak since the last call, 0..1. A source that has delivered
  // nothing for a while (a suspended sink sends no silence) reads as 0.
  float TakeLevel();

 private:
  static void OnRead(pa_stream* stream, std::size_t bytes, void* self);

  pa_stream* stream_ = nullptr;
  std::string source_;
  CPeakHold hold_;
};

}  // namespace kestrel
