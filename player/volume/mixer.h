// Access to five controls of the system mixer: volume and mute of the
// speakers output ("Master Volume"), volume and mute of the wave-output
// source feeding it ("Speakers Volume"), and that source's peak meter.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "mixer_types.h"

class QObject;

namespace kestrel {

class IMixerService;

class CMixer {
 public:
  // `owner` receives the change notices of the open device; `service`
  // outlives the mixer.
  CMixer(QObject* owner, IMixerService& service);
  ~CMixer();
  CMixer(const CMixer&) = delete;
  CMixer& operator=(const CMixer&) = delete;

  unsigned GetDeviceCount();
  // True only when the device opened and its name was read; a device whose
  // name could not be read is left open.
  bool Open(unsigned index);
  void Close();
  bool IsOpen() const { return device_ != 0; }

  bool GetDeviceName(std::string& name) const;

  // Each find is meant to be done once after Open; a control whose find
  // failed, or was never done, is absent: its get and set fail and its id
  // is empty, so it matches no change notice.
  bool FindMasterVolume();
  bool FindMasterMute();
  bool FindWaveVolume();
  bool FindWaveMute();
  // The peak meter of the wave-output source of the speakers line itself.
  bool FindWavePeakMeter();

  std::optional<std::uint32_t> MasterVolumeId() const { return Present(masterVolume_); }
  std::optional<std::uint32_t> MasterMuteId() const { return Present(masterMute_); }
  std::optional<std::uint32_t> WaveVolumeId() const { return Present(waveVolume_); }
  std::optional<std::uint32_t> WaveMuteId() const { return Present(waveMute_); }
  std::optional<std::uint32_t> WavePeakMeterId() const { return Present(wavePeakMeter_); }
  std::uint32_t MasterVolumeMinimum() const { return masterVolumeMinimum_; }
  std::uint32_t MasterVolumeMaximum() const { return masterVolumeMaximum_; }
  std::uint32_t WaveVolumeMinimum() const { return waveVolumeMinimum_; }
  std::uint32_t WaveVolumeMaximum() const { return waveVolumeMaximum_; }
  std::int32_t WavePeakMeterMinimum() const { return wavePeakMeterMinimum_; }
  std::int32_t WavePeakMeterMaximum() const { return wavePeakMeterMaximum_; }

  // Each reports success; the out argument is written only on success.
  bool GetMasterVolume(std::uint32_t& value);
  bool SetMasterVolume(std::uint32_t value);
  bool GetWaveVolume(std::uint32_t& value);
  bool SetWaveVolume(std::uint32_t value);
  bool GetMasterMute(bool& value);
  bool SetMasterMute(bool value);
  bool GetWaveMute(bool& value);
  bool SetWaveMute(bool value);
  bool GetWavePeak(std::int32_t& value);

 private:
  struct Control {
    bool found = false;
    std::uint32_t id = 0;
  };
  static std::optional<std::uint32_t> Present(const Control& control) {
    return control.found ? std::optional<std::uint32_t>(control.id) : std::nullopt;
  }

  bool FindControl(MixerControlKind kind);
  bool GetValue(const Control& control, std::uint32_t& value);
  bool SetValue(const Control& control, std::uint32_t value);
  bool GetFlag(const Control& control, bool& value);
  void ForgetControls();

  QObject* owner_;
  IMixerService& service_;
  unsigned deviceCount_ = 0;
  MixerHandle device_ = 0;
  std::string name_;
  Control masterVolume_;
  std::uint32_t masterVolumeMinimum_ = 0;
  std::uint32_t masterVolumeMaximum_ = 0;
  Control masterMute_;
  Control waveVolume_;
  std::uint32_t waveVolumeMinimum_ = 0;
  std::uint32_t waveVolumeMaximum_ = 0;
  Control wavePeakMeter_;
  Control waveMute_;
  std::int32_t wavePeakMeterMinimum_ = 0;
  std::int32_t wavePeakMeterMaximum_ = 0;
};

}  // namespace kestrel
