// Plays 16-bit PCM blocks through a wave output from a fixed ring of
// buffers: starts the output only after a pre-roll, pauses it by itself when
// the ring runs dry, and reports each finished buffer to its sink.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include <QWidget>

#include "completion_mailbox.h"
#include "sound_blocks.h"
#include "wave_output.h"

namespace kestrel {

class CUiWake;
class IVolumeDialogHook;
class IWaveDeviceSink;

class CWaveDevice : public QWidget, private IWaveOutputListener {
  Q_OBJECT
 public:
  static constexpr int kRingSize = kSoundRingBlocks;
  static constexpr int kMaxQueued = kRingSize - 1;

  // A hidden child of `parent`. `output` is the sound device; `fallback`, a
  // device that keeps time without sound, takes over when `output` cannot be
  // opened. Both outlive the device.
  CWaveDevice(QWidget* parent, IWaveDeviceSink* sink, int samplesPerBuffer, int startThreshold, int bytesPerSample,
              int sampleRate, IWaveOutput& output, IWaveOutput& fallback);
  ~CWaveDevice() override;

  // Opens the output paused. False when the sound device could not be
  // opened: the device is then open on the silent fallback, which finishes
  // buffers in real time, so that playback still keeps its time. A sound
  // device lost while open is replaced by the fallback in the same way, on
  // the user-interface thread, and the sink is told (OnDeviceLost).
  bool Open();
  void Close();
  bool IsOpen() const { return open_.load(); }
  bool UsesFallback() const { return device_ == &fallback_; }

  // Reader thread. Copies one block (samples per buffer samples) into the
  // ring and writes it; dropped while closed or held, or when 249 are queued.
  void Queue(const std::int16_t* block);
  // Reader thread: `blockCount` blocks laid end to end, queued as Queue
  // would one by one (those beyond 249 queued dropped), and written to the
  // output in as few writes as the ring allows.
  void QueueBlocks(const std::int16_t* blocks, int blockCount);
  // Reader thread: no more blocks follow until Clear. From now on the pre-roll
  // no longer holds the output back, so the last blocks are heard.
  void EndOfInput();
  // Reader thread: the reader can add nothing before some of what is queued
  // has been heard; the output starts even below the pre-roll.
  void PlayWhatIsQueued();
  // Any thread: buffers queued and not yet reported finished; 0 when closed.
  int QueuedCount() const;

  // User-interface thread, with the reader idle.
  void Pause();  // stops the output and keeps the ring
  // Writes the kept ring again; on the fallback, tries the sound device
  // first, so that a server that is back is used again.
  void Resume();
  void Clear();  // while held: forgets the kept ring

  // The volume dialog the requests go to: one the device does not own, or
  // one it owns from now on and deletes with itself.
  void SetVolumeDialog(IVolumeDialogHook* dialog) { volumeDialog_ = dialog; }
  void AdoptVolumeDialog(std::unique_ptr<IVolumeDialogHook> dialog);
  void ShowVolumeDialog(bool show);

  // Handles the notices that have arrived; the device's wake-up calls it by
  // itself, tests call it to be exact about when notices are handled.
  void DeliverNotices();

 protected:
  bool event(QEvent* event) override;

 private:
  void OnBufferFinished(std::uint32_t tag) override;  // backend thread
  void OnDeviceLost() override;                       // backend thread
  // The notices in the mailbox, each handled and reported.
  void DeliverArrived();
  // One notice; true when it counted and the sink is to hear of it.
  bool HandleNotice(std::uint32_t tag);
  // The lost sound device closed and the ring written again to the
  // fallback; false when there was nothing to replace.
  bool CarryOnSilently();
  void ReturnToSoundDevice();
  WaveFormat Format() const;
  // With the lock held: writes every buffer not yet finished to the device,
  // restarting it once more than the start threshold have been written.
  void WriteRingAgain();
  void RestartIfDue();  // with the lock held

  IWaveDeviceSink* sink_;
  const int samplesPerBuffer_;
  const int startThreshold_;
  const int bytesPerSample_;
  const int sampleRate_;
  const int bufferBytes_;
  IWaveOutput& output_;
  IWaveOutput& fallback_;
  IWaveOutput* device_ = nullptr;
  IVolumeDialogHook* volumeDialog_ = nullptr;
  std::unique_ptr<IVolumeDialogHook> ownedVolumeDialog_;

  std::unique_ptr<std::uint8_t[]> buffers_;  // kRingSize x bufferBytes_

  // Queue (reader) and the notice handling (user interface) share these;
  // the lock also orders the restarts and pauses of the output.
  mutable std::mutex mutex_;
  std::atomic<bool> open_{false};
  bool running_ = false;
  bool held_ = false;
  bool endOfInput_ = false;
  std::atomic<int> count_{0};
  int doneIndex_ = 0;
  int writeIndex_ = 0;
  // Every write carries the epoch; a notice of an earlier epoch (a closed
  // device, or buffers given back by a reset) is dropped.
  std::uint32_t epoch_ = 0;
  // Set by the backend when the sound device has gone; counted opens and
  // closes tell a loss that has been overtaken by them.
  std::atomic<bool> lost_{false};
  unsigned session_ = 0;

  CCompletionMailbox mailbox_;
  std::array<std::uint32_t, CCompletionMailbox::kCapacity> arrived_{};
  CUiWake* wake_ = nullptr;
};

}  // namespace kestrel
