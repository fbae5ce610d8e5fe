#include "wave_device.h"

#include <algorithm>
#include <cstring>

#include <QCoreApplication>

#include "ui_wake.h"
#include "volume_dialog_hook.h"
#include "wave_device_sink.h"
#include "window_messages.h"

namespace kestrel {

CWaveDevice::CWaveDevice(QWidget* parent, IWaveDeviceSink* sink, int samplesPerBuffer, int startThreshold,
                         int bytesPerSample, int sampleRate, IWaveOutput& output, IWaveOutput& fallback)
    : QWidget(parent),
      sink_(sink),
      samplesPerBuffer_(samplesPerBuffer),
      startThreshold_(startThreshold),
      bytesPerSample_(bytesPerSample),
      sampleRate_(sampleRate),
      bufferBytes_(samplesPerBuffer * bytesPerSample),
      output_(output),
      fallback_(fallback),
      buffers_(new std::uint8_t[static_cast<std::size_t>(kRingSize) * bufferBytes_]()) {
  hide();
  if (parent) setGeometry(parent->rect());
  setCursor(Qt::ArrowCursor);
  wake_ = new CUiWake([this] { DeliverNotices(); }, this);
}

CWaveDevice::~CWaveDevice() {
  Close();
  // Before the window's children go: the dialog may be one of them.
  volumeDialog_ = nullptr;
  ownedVolumeDialog_.reset();
}

void CWaveDevice::AdoptVolumeDialog(std::unique_ptr<IVolumeDialogHook> dialog) {
  ownedVolumeDialog_ = std::move(dialog);
  volumeDialog_ = ownedVolumeDialog_.get();
}

WaveFormat CWaveDevice::Format() const {
  WaveFormat format;
  format.channels = 1;
  format.sampleRate = sampleRate_;
  format.bytesPerSample = bytesPerSample_;
  format.bufferBytes = bufferBytes_;
  return format;
}

bool CWaveDevice::Open() {
  Close();
  const WaveFormat format = Format();
  {
    std::lock_guard lock(mutex_);
    count_ = 0;
    doneIndex_ = writeIndex_ = 0;
    running_ = held_ = endOfInput_ = false;
    ++epoch_;
    ++session_;
  }
  bool opened = output_.Open(format, this);
  device_ = &output_;
  if (!opened) {
    // No sound device: keep time on the silent one, so that pictures,
    // position and the end of the message still come.
    device_ = &fallback_;
    if (!fallback_.Open(format, this)) {
      device_ = nullptr;
      return false;
    }
  }
  device_->Pause();
  open_ = true;
  return opened;
}

void CWaveDevice::Close() {
  if (!open_) return;
  std::lock_guard lock(mutex_);
  ++epoch_;
  ++session_;
  device_->Reset();
  device_->Close();
  open_ = false;
  held_ = running_ = false;
  count_ = 0;
  // Closed, the device can tell of no loss any more.
  lost_ = false;
}

void CWaveDevice::Queue(const std::int16_t* block) { QueueBlocks(block, 1); }

void CWaveDevice::QueueBlocks(const std::int16_t* blocks, int blockCount) {
  std::lock_guard lock(mutex_);
  if (!open_ || held_) return;
  int left = std::min(blockCount, kMaxQueued - count_.load());
  const auto* from = reinterpret_cast<const std::uint8_t*>(blocks);
  // The blocks that lie one after the other in the ring go to the output in
  // one write: up to two, where the ring wraps.
  while (left > 0) {
    const int run = std::min(left, kRingSize - writeIndex_);
    const std::size_t bytes = static_cast<std::size_t>(run) * bufferBytes_;
    std::uint8_t* buffer = buffers_.get() + static_cast<std::size_t>(writeIndex_) * bufferBytes_;
    std::memcpy(buffer, from, bytes);
    count_ += run;
    device_->Write(buffer, bytes, epoch_);
    writeIndex_ = (writeIndex_ + run) % kRingSize;
    from += bytes;
    left -= run;
  }
  RestartIfDue();
}

void CWaveDevice::RestartIfDue() {
  if (running_ || held_) return;
  if (count_ > startThreshold_ || (endOfInput_ && count_ > 0)) {
    running_ = true;
    device_->Restart();
  }
}

void CWaveDevice::PlayWhatIsQueued() {
  std::lock_guard lock(mutex_);
  if (!open_ || held_ || running_ || count_ == 0) return;
  running_ = true;
  device_->Restart();
}

void CWaveDevice::EndOfInput() {
  std::lock_guard lock(mutex_);
  endOfInput_ = true;
  if (open_) RestartIfDue();
}

int CWaveDevice::QueuedCount() const { return open_ ? count_.load() : 0; }

void CWaveDevice::OnBufferFinished(std::uint32_t tag) {
  mailbox_.Post(tag);
  wake_->Wake();
}

void CWaveDevice::OnDeviceLost() {
  lost_ = true;
  wake_->Wake();
}

void CWaveDevice::DeliverNotices() {
  DeliverArrived();
  if (!lost_.exchange(false)) return;
  // The buffers heard before the loss were posted before it: count them
  // first, so that only what was not heard goes to the fallback.
  const unsigned session = session_;
  DeliverArrived();
  if (session != session_ || !CarryOnSilently()) return;
  if (sink_) sink_->OnDeviceLost();
}

void CWaveDevice::DeliverArrived() {
  for (;;) {
    const int taken = mailbox_.Take(arrived_.data(), static_cast<int>(arrived_.size()));
    if (taken == 0) {
      // Notices that found the mailbox full still tell of buffers played:
      // without them the ring would never run dry and the message not end.
      const CCompletionMailbox::Dropped dropped = mailbox_.TakeDropped();
      for (int i = 0; i < dropped.count; ++i) {
        if (HandleNotice(dropped.tag) && sink_) sink_->OnBufferDone();
      }
      return;
    }
    for (int i = 0; i < taken; ++i) {
      // The sink may stop or reopen the device; the epoch check then drops
      // the rest of this batch.
      if (HandleNotice(arrived_[i]) && sink_) sink_->OnBufferDone();
    }
  }
}

bool CWaveDevice::CarryOnSilently() {
  std::lock_guard lock(mutex_);
  if (!open_ || device_ != &output_) return false;
  ++epoch_;  // what the lost device gives back as it closes did not play
  ++session_;
  output_.Close();
  device_ = &fallback_;
  if (!fallback_.Open(Format(), this)) {
    device_ = nullptr;
    open_ = false;
    count_ = 0;
    return true;
  }
  fallback_.Pause();
  // Held, the ring is written again by Resume.
  if (held_) return true;
  const bool wasRunning = running_;
  running_ = false;
  WriteRingAgain();
  if (wasRunning && !running_ && count_ > 0) {
    running_ = true;
    device_->Restart();
  }
  RestartIfDue();
  return true;
}

void CWaveDevice::ReturnToSoundDevice() {
  if (!open_ || device_ != &fallback_) return;
  // Outside the lock: the reader is idle, and connecting may take a while.
  if (!output_.Open(Format(), this)) return;
  std::lock_guard lock(mutex_);
  ++epoch_;
  ++session_;
  fallback_.Close();
  device_ = &output_;
  device_->Pause();
}

bool CWaveDevice::HandleNotice(std::uint32_t tag) {
  std::lock_guard lock(mutex_);
  if (!open_ || tag != epoch_) return false;  // from a closed or reset device
  if (held_) return false;
  if (count_ - 1 < 0) {
    count_ = 0;
    return true;
  }
  --count_;
  doneIndex_ = (doneIndex_ + 1) % kRingSize;
  if (count_ == 0) {
    running_ = false;
    device_->Pause();
  }
  return true;
}

void CWaveDevice::Pause() {
  std::lock_guard lock(mutex_);
  if (!open_ || held_) return;
  held_ = true;
  running_ = false;
  ++epoch_;  // what the reset gives back must not count
  device_->Reset();
  device_->Pause();
}

void CWaveDevice::Resume() {
  if (!open_ || !held_) return;
  ReturnToSoundDevice();
  std::lock_guard lock(mutex_);
  if (!open_ || !held_) return;
  WriteRingAgain();
  held_ = false;
  // At the end of the data no block will come to pass the threshold.
  if (endOfInput_) RestartIfDue();
}

void CWaveDevice::WriteRingAgain() {
  // In at most two writes, where the ring wraps; the output restarts once
  // more than the start threshold have been written again before the last
  // buffer (the pre-roll, with the buffer that passes it).
  int left = (writeIndex_ - doneIndex_ + kRingSize) % kRingSize;
  int from = doneIndex_;
  int rewritten = 0;
  while (left > 0) {
    const int run = std::min(left, kRingSize - from);
    std::uint8_t* buffer = buffers_.get() + static_cast<std::size_t>(from) * bufferBytes_;
    device_->Write(buffer, static_cast<std::size_t>(run) * bufferBytes_, epoch_);
    rewritten += run;
    left -= run;
    from = (from + run) % kRingSize;
  }
  if (rewritten > startThreshold_ + 1 && !running_) {
    running_ = true;
    device_->Restart();
  }
}

void CWaveDevice::Clear() {
  std::lock_guard lock(mutex_);
  if (!open_ || !held_) return;
  writeIndex_ = doneIndex_ = 0;
  count_ = 0;
  running_ = false;
  endOfInput_ = false;
}

void CWaveDevice::ShowVolumeDialog(bool show) {
  if (!volumeDialog_) return;
  if (show) {
    volumeDialog_->Show();
  } else {
    volumeDialog_->Hide();
  }
}

bool CWaveDevice::event(QEvent* event) {
  if (event->type() == EventTypeOf(WM_VOLUME_DIALOG_CLOSED)) {
    QWidget* mainWindow = window();
    if (mainWindow && mainWindow != this) {
      QEvent passOn(EventTypeOf(WM_VOLUME_DIALOG_CLOSED));
      QCoreApplication::sendEvent(mainWindow, &passOn);
    }
    return true;
  }
  return QWidget::event(event);
}

}  // namespace kestrel
