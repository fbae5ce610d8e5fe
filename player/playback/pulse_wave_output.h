// The wave output on a PulseAudio server: one playback stream on libpulse's
// threaded main loop, corked while paused, with room for the whole ring.
// No call waits for the server for longer than kSoundServerDeadline; a server
// that goes away, refuses the stream or stops answering makes the output
// report itself lost.
#pragma once

#include <cstdint>
#include <string>

#include "buffer_accounting.h"
#include "sound_blocks.h"
#include "wave_output.h"

struct pa_context;
struct pa_operation;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;
struct pa_mainloop_api;
struct timeval;

namespace kestrel {

class CPulseDeadline;

class CPulseWaveOutput final : public IWaveOutput {
 public:
  // `maxPendingBytes` is the most that is ever written and not yet finished;
  // the stream's buffer is made that large so that no write ever waits.
  // `sinkName` names the sink to play on; empty, the server's default sink,
  // which the stream then follows when the user changes it. `server` names
  // the server; empty, the one the environment names.
  explicit CPulseWaveOutput(std::string clientName, std::uint32_t maxPendingBytes = kSoundRingBytes,
                            std::string sinkName = std::string(), std::string server = std::string());
  ~CPulseWaveOutput() override;
  CPulseWaveOutput(const CPulseWaveOutput&) = delete;
  CPulseWaveOutput& operator=(const CPulseWaveOutput&) = delete;

  // Connects to the server (never spawns one).
  bool Open(const WaveFormat& format, IWaveOutputListener* listener) override;
  void Write(const std::uint8_t* data, std::size_t bytes, std::uint32_t tag) override;
  void Pause() override;
  void Restart() override;
  void Reset() override;
  void Close() override;

  // Whether the played position is being asked for (only while the stream
  // plays).
  bool IsPolling() const;

 private:
  static void OnContextState(pa_context* context, void* self);
  static void OnStreamState(pa_stream* stream, void* self);
  static void OnOperationDone(pa_stream* stream, int success, void* self);
  static void OnTimer(pa_mainloop_api* api, pa_time_event* event, const struct timeval* tv, void* self);
  static void OnTimingInfo(pa_stream* stream, int success, void* self);

  // With the main-loop lock held, all of them.
  // Waits until `operation` has completed; false when it failed or the
  // deadline passed (the output is then lost).
  bool Await(pa_operation* operation, CPulseDeadline& deadline);
  // The server is gone or hangs: stop using it and tell the listener once.
  void Fail();
  void StartPolling();
  void StopPolling();
  // Main-loop thread: turn the latest timing info into notices.
  void Account();
  void Teardown();

  std::string clientName_;
  std::string sinkName_;
  std::string server_;
  std::uint32_t maxPendingBytes_;
  WaveFormat format_;
  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  pa_time_event* timer_ = nullptr;
  std::uint64_t nextTick_ = 0;
  bool timingRequested_ = false;
  std::uint64_t timingRequestedAt_ = 0;
  bool corked_ = true;
  bool opened_ = false;  // Open succeeded: a failure from now on is a loss
  bool failed_ = false;
  IWaveOutputListener* listener_ = nullptr;
  CBufferAccounting accounting_;  // guarded by the main-loop lock
};

}  // namespace kestrel
