// A wave output that makes no sound but finishes its buffers in real time:
// the fallback when no sound device can be had, so that a message still keeps
// its time, and the device of engine tests without a sound server.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "wave_output.h"

namespace kestrel {

class CSilentWaveOutput final : public IWaveOutput {
 public:
  static constexpr int kCapacity = 512;

  // `speedUp` divides each buffer's playing time (1 = real time); tests use
  // it to play long messages quickly.
  explicit CSilentWaveOutput(int speedUp = 1);
  ~CSilentWaveOutput() override;
  CSilentWaveOutput(const CSilentWaveOutput&) = delete;
  CSilentWaveOutput& operator=(const CSilentWaveOutput&) = delete;

  bool Open(const WaveFormat& format, IWaveOutputListener* listener) override;
  void Write(const std::uint8_t* data, std::size_t bytes, std::uint32_t tag) override;
  void Pause() override;
  void Restart() override;
  void Reset() override;
  void Close() override;

 private:
  struct Pending {
    std::chrono::nanoseconds duration;
    std::uint32_t tag;
  };
  void Run();
  void FinishOldest();  // with the lock held

  const int speedUp_;
  WaveFormat format_;
  IWaveOutputListener* listener_ = nullptr;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::array<Pending, kCapacity> pending_{};
  int head_ = 0;
  int count_ = 0;
  bool running_ = false;
  bool quit_ = false;
  bool haveDeadline_ = false;
  std::chrono::steady_clock::time_point deadline_;
  std::thread thread_;
};

}  // namespace kestrel
