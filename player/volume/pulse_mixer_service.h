// The system mixer on a PulseAudio server, over libpulse's threaded main
// loop. One device, the server's default sink:
// - speakers line: the default sink's volume and mute;
// - its one wave-output source: this process's own playback streams (the
//   application volume the system volume program shows for the player).
//   While none exists its values are held, and applied to each stream of
//   ours that opens, so that the controls exist from start-up;
// - the wave-output peak meter: the peak of the default sink's monitor,
//   0..32767;
// - change notices: the server's subscription events, posted to the owner.
// Volumes are 0..65535, linear in the server's volume value. With the
// server's flat-volumes on, a stream set above its sink drags the sink up;
// the speakers controls then report what the server did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mixer_service.h"
#include "pulse_peak_monitor.h"

struct pa_context;
struct pa_sink_input_info;
struct pa_threaded_mainloop;
struct pa_operation;

namespace kestrel {

class CPulseMixerService final : public IMixerService {
 public:
  static constexpr std::uint32_t kMasterVolumeId = 1;
  static constexpr std::uint32_t kMasterMuteId = 2;
  static constexpr std::uint32_t kWaveVolumeId = 3;
  static constexpr std::uint32_t kWaveMuteId = 4;
  static constexpr std::uint32_t kWavePeakId = 5;
  static constexpr std::int32_t kPeakMaximum = 32767;

  explicit CPulseMixerService(std::string clientName);
  ~CPulseMixerService() override;
  CPulseMixerService(const CPulseMixerService&) = delete;
  CPulseMixerService& operator=(const CPulseMixerService&) = delete;

  // Connects on first use to the server the environment names (never
  // spawns one); 0 devices when it cannot be reached or has no sink.
  unsigned GetDeviceCount() override;
  bool Open(unsigned index, QObject* owner, MixerHandle* handle) override;
  void Close(MixerHandle handle) override;
  bool GetDeviceName(MixerHandle handle, std::string* name) override;
  bool FindControl(MixerHandle handle, MixerControlKind kind, MixerControl* control) override;
  bool GetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t* value) override;
  bool SetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t value) override;

 private:
  struct SinkState;
  struct OwnStream {
    std::uint32_t index;
    std::uint8_t channels;
  };

  // The libpulse callbacks, run on the main-loop thread with its lock held.
  struct Callbacks;

  // All of these run with the main-loop lock held.
  bool EnsureConnected();
  bool Ready() const;
  bool Await(pa_operation* operation);
  bool QueryDefaultSink(SinkState* state);
  bool QueryStream(std::uint32_t index, std::uint32_t* volume, bool* mute);
  bool WriteStreamVolume(const OwnStream& stream, std::uint32_t volume);
  bool WriteStreamMute(const OwnStream& stream, bool mute);
  bool SetMaster(std::uint32_t controlId, std::uint32_t value);
  bool SetWave(std::uint32_t controlId, std::uint32_t value);
  void ReportSink(const SinkState& state);
  void ReportStream(const pa_sink_input_info& info);
  void AdoptStreams();
  void RequestStreamReports();
  void Post(std::uint32_t controlId);
  bool IsOpen(MixerHandle handle) const { return handle != 0 && handle == handle_; }
  void Teardown();

  std::string clientName_;
  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  bool connectFailed_ = false;
  bool hung_ = false;  // the server stopped answering; it is asked nothing more

  // The rest is guarded by the main-loop lock.
  QObject* owner_ = nullptr;
  MixerHandle handle_ = 0;
  MixerHandle nextHandle_ = 1;

  bool sinkKnown_ = false;  // the last values the server reported
  std::uint32_t reportedMasterVolume_ = 0;
  bool reportedMasterMute_ = false;

  std::vector<OwnStream> streams_;
  std::uint32_t heldWaveVolume_;
  bool heldWaveMute_ = false;
  std::uint32_t reportedWaveVolume_;
  bool reportedWaveMute_ = false;
  // Writes to our streams not yet acknowledged; reports are ignored while
  // any is, since they may describe the stream from before the write.
  int pendingStreamWrites_ = 0;

  CPulsePeakMonitor peak_;
};

}  // namespace kestrel
