#include "silent_wave_output.h"

namespace kestrel {

CSilentWaveOutput::CSilentWaveOutput(int speedUp) : speedUp_(speedUp < 1 ? 1 : speedUp) {}

CSilentWaveOutput::~CSilentWaveOutput() { Close(); }

bool CSilentWaveOutput::Open(const WaveFormat& format, IWaveOutputListener* listener) {
  Close();
  std::lock_guard lock(mutex_);
  format_ = format;
  listener_ = listener;
  head_ = count_ = 0;
  running_ = false;
  quit_ = false;
  haveDeadline_ = false;
  thread_ = std::thread(&CSilentWaveOutput::Run, this);
  return true;
}

void CSilentWaveOutput::Write(const std::uint8_t*, std::size_t bytes, std::uint32_t tag) {
  std::lock_guard lock(mutex_);
  if (!thread_.joinable()) return;
  const long long bytesPerSecond =
      static_cast<long long>(format_.sampleRate) * format_.bytesPerSample * format_.channels;
  const std::size_t buffers = BuffersIn(format_, bytes);
  for (std::size_t i = 0; i < buffers; ++i) {
    if (count_ == kCapacity) {
      if (listener_) listener_->OnBufferFinished(tag);
      continue;
    }
    const auto piece = static_cast<long long>(BufferBytesAt(format_, bytes, i));
    const auto duration = std::chrono::nanoseconds(piece * 1'000'000'000LL / bytesPerSecond / speedUp_);
    pending_[(head_ + count_) % kCapacity] = Pending{duration, tag};
    ++count_;
  }
  changed_.notify_one();
}

void CSilentWaveOutput::Pause() {
  std::lock_guard lock(mutex_);
  running_ = false;
  haveDeadline_ = false;
  changed_.notify_one();
}

void CSilentWaveOutput::Restart() {
  std::lock_guard lock(mutex_);
  running_ = true;
  changed_.notify_one();
}

void CSilentWaveOutput::Reset() {
  std::lock_guard lock(mutex_);
  running_ = false;
  haveDeadline_ = false;
  while (count_ > 0) FinishOldest();
}

void CSilentWaveOutput::Close() {
  {
    std::lock_guard lock(mutex_);
    if (!thread_.joinable()) return;
    running_ = false;
    while (count_ > 0) FinishOldest();
    quit_ = true;
    changed_.notify_one();
  }
  thread_.join();
  std::lock_guard lock(mutex_);
  listener_ = nullptr;
}

void CSilentWaveOutput::FinishOldest() {
  const std::uint32_t tag = pending_[head_].tag;
  head_ = (head_ + 1) % kCapacity;
  --count_;
  if (listener_) listener_->OnBufferFinished(tag);
}

void CSilentWaveOutput::Run() {
  std::unique_lock lock(mutex_);
  while (!quit_) {
    if (!running_ || count_ == 0) {
      haveDeadline_ = false;
      changed_.wait(lock);
      continue;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!haveDeadline_) {
      deadline_ = now + pending_[head_].duration;
      haveDeadline_ = true;
    }
    if (now < deadline_) {
      changed_.wait_until(lock, deadline_);
      continue;
    }
    FinishOldest();
    // The next buffer follows on from this one's end, not from now: no drift.
    if (count_ > 0) deadline_ += pending_[head_].duration;
  }
}

}  // namespace kestrel
