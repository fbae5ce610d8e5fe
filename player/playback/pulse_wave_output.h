// The wave output on a PulseAudio server: one playback stream on libpulse's
// threaded main loop, corked while paused, with room for the whole ring.
#pragma once

#include <cstdint>
#include <string>

#include "buffer_accounting.h"
#include "wave_output.h"

struct pa_context;
struct pa_operation;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;
struct pa_mainloop_api;
struct timeval;

namespace kestrel {

class CPulseWaveOutput final : public IWaveOutput {
 public:
  // `maxPendingBytes` is the most that is ever written and not yet finished;
  // the stream's buffer is made that large so that no write ever waits.
  // `sinkName` names the sink to play on; empty, the server's default sink,
  // which the stream then follows when the user changes it.
  explicit CPulseWaveOutput(std::string clientName, std::uint32_t maxPendingBytes = 250 * 320,
                            std::string sinkName = std::string());
  ~CPulseWaveOutput() override;
  CPulseWaveOutput(const CPulseWaveOutput&) = delete;
  CPulseWaveOutput& operator=(const CPulseWaveOutput&) = delete;

  // Connects to the server named by the environment (never spawns one).
  bool Open(const WaveFormat& format, IWaveOutputListener* listener) override;
  void Write(const std::uint8_t* data, std::size_t bytes, std::uint32_t tag) override;
  void Pause() override;
  void Restart() override;
  void Reset() override;
  void Close() override;

 private:
  static void OnContextState(pa_context* context, void* self);
  static void OnStreamState(pa_stream* stream, void* self);
  static void OnOperationDone(pa_stream* stream, int success, void* self);
  static void OnTimer(pa_mainloop_api* api, pa_time_event* event, const struct timeval* tv, void* self);
  static void OnTimingInfo(pa_stream* stream, int success, void* self);

  // Waits, with the main-loop lock held, until `operation` has completed.
  void Await(pa_operation* operation);
  // Main-loop thread: turn the latest timing info into notices.
  void Account();
  void Teardown();

  std::string clientName_;
  std::string sinkName_;
  std::uint32_t maxPendingBytes_;
  WaveFormat format_;
  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  pa_time_event* timer_ = nullptr;
  std::uint64_t nextTick_ = 0;
  bool timingRequested_ = false;
  bool corked_ = true;
  IWaveOutputListener* listener_ = nullptr;
  CBufferAccounting accounting_;  // guarded by the main-loop lock
};

}  // namespace kestrel
