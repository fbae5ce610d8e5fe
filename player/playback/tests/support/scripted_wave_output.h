// A wave output for exact tests: buffers finish only when the test says so,
// and every call is recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "wave_output.h"

namespace kestrel::testing {

class CScriptedWaveOutput final : public IWaveOutput {
 public:
  struct Write {
    const std::uint8_t* data;
    std::int16_t firstSample;
    std::uint32_t tag;
  };

  void SetOpenFails(bool fails) { openFails_ = fails; }

  bool Open(const WaveFormat& format, IWaveOutputListener* listener) override;
  void Write(const std::uint8_t* data, std::size_t bytes, std::uint32_t tag) override;
  void Pause() override;
  void Restart() override;
  void Reset() override;
  void Close() override;

  // Finishes the `n` oldest pending buffers, as the device would when they
  // have played; false when fewer were pending.
  bool FinishNext(int n = 1);
  // The device goes away, as a sound server that is killed: the listener is
  // told, and what was pending is never finished.
  void Lose();

  bool IsOpen() const;
  bool IsRunning() const;  // restarted and not paused or reset since
  int Pending() const;
  int Restarts() const;
  int Opens() const;
  // Every buffer written, in order; a write of several buffers gives one
  // entry for each. WriteCalls counts the calls of Write.
  std::vector<struct Write> Writes() const;
  int WriteCalls() const;
  void ForgetWrites();

 private:
  mutable std::mutex mutex_;
  bool openFails_ = false;
  bool open_ = false;
  bool running_ = false;
  int restarts_ = 0;
  int opens_ = 0;
  int writeCalls_ = 0;
  WaveFormat format_;
  IWaveOutputListener* listener_ = nullptr;
  std::deque<std::uint32_t> pending_;
  std::vector<struct Write> writes_;
};

}  // namespace kestrel::testing
