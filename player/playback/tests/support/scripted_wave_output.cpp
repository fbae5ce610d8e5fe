#include "scripted_wave_output.h"

#include <cstring>

namespace kestrel::testing {

bool CScriptedWaveOutput::Open(const WaveFormat& format, IWaveOutputListener* listener) {
  std::lock_guard lock(mutex_);
  ++opens_;
  format_ = format;
  if (openFails_) return false;
  open_ = true;
  running_ = false;
  listener_ = listener;
  pending_.clear();
  return true;
}

void CScriptedWaveOutput::Write(const std::uint8_t* data, std::size_t bytes, std::uint32_t tag) {
  std::lock_guard lock(mutex_);
  ++writeCalls_;
  // Each buffer of the write is recorded and finished on its own.
  const std::size_t buffers = BuffersIn(format_, bytes);
  for (std::size_t i = 0; i < buffers; ++i) {
    const std::uint8_t* buffer = data + i * static_cast<std::size_t>(format_.bufferBytes);
    std::int16_t first = 0;
    std::memcpy(&first, buffer, sizeof first);
    writes_.push_back({buffer, first, tag});
    pending_.push_back(tag);
  }
}

void CScriptedWaveOutput::Pause() {
  std::lock_guard lock(mutex_);
  running_ = false;
}

void CScriptedWaveOutput::Restart() {
  std::lock_guard lock(mutex_);
  running_ = true;
  ++restarts_;
}

void CScriptedWaveOutput::Reset() {
  std::lock_guard lock(mutex_);
  running_ = false;
  while (!pending_.empty()) {
    listener_->OnBufferFinished(pending_.front());
    pending_.pop_front();
  }
}

void CScriptedWaveOutput::Close() {
  Reset();
  std::lock_guard lock(mutex_);
  open_ = false;
  listener_ = nullptr;
}

bool CScriptedWaveOutput::FinishNext(int n) {
  std::lock_guard lock(mutex_);
  for (int i = 0; i < n; ++i) {
    if (pending_.empty()) return false;
    listener_->OnBufferFinished(pending_.front());
    pending_.pop_front();
  }
  return true;
}

void CScriptedWaveOutput::Lose() {
  std::lock_guard lock(mutex_);
  if (listener_) listener_->OnDeviceLost();
}

bool CScriptedWaveOutput::IsOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}
bool CScriptedWaveOutput::IsRunning() const {
  std::lock_guard lock(mutex_);
  return running_;
}
int CScriptedWaveOutput::Pending() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(pending_.size());
}
int CScriptedWaveOutput::Restarts() const {
  std::lock_guard lock(mutex_);
  return restarts_;
}
int CScriptedWaveOutput::WriteCalls() const {
  std::lock_guard lock(mutex_);
  return writeCalls_;
}
int CScriptedWaveOutput::Opens() const {
  std::lock_guard lock(mutex_);
  return opens_;
}
std::vector<struct CScriptedWaveOutput::Write> CScriptedWaveOutput::Writes() const {
  std::lock_guard lock(mutex_);
  return writes_;
}
void CScriptedWaveOutput::ForgetWrites() {
  std::lock_guard lock(mutex_);
  writes_.clear();
  writeCalls_ = 0;
}

}  // namespace kestrel::testing
