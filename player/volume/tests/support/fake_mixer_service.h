// A mixer service held in memory: a device is described control by control,
// values can fail to read or write, and other programs' changes are played
// in with ExternalChange.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "mixer_service.h"

namespace kestrel::testing {

class CFakeMixerService final : public IMixerService {
 public:
  // The ids of the standard device that AddStandardDevice builds.
  static constexpr std::uint32_t kMasterVolume = 11;
  static constexpr std::uint32_t kMasterMute = 12;
  static constexpr std::uint32_t kWaveVolume = 13;
  static constexpr std::uint32_t kWaveMute = 14;
  static constexpr std::uint32_t kWavePeak = 15;

  // One device: speakers volume 0..65535 and mute, wave-output volume 0..65535
  // and mute, and a peak meter -32768..32767.
  void AddStandardDevice(const std::string& name = "Fake Speakers");

  // Adds or replaces the control of that kind.
  void AddControl(MixerControlKind kind, const MixerControl& control, std::uint32_t value);
  void RemoveControl(std::uint32_t controlId);

  unsigned deviceCount = 0;
  bool failOpen = false;
  bool failName = false;
  std::string productName;
  std::set<std::uint32_t> failingReads;
  std::set<std::uint32_t> failingWrites;

  // What happened, for the checks.
  int opens = 0;
  int closes = 0;
  bool IsOpen() const { return handle_ != 0; }
  std::vector<std::pair<std::uint32_t, std::uint32_t>> writes;  // control id, value
  int ReadsOf(std::uint32_t controlId) const;
  std::uint32_t Value(std::uint32_t controlId) const { return values_.at(controlId); }
  // Another program changes a value: stored and announced like any change.
  void ExternalChange(std::uint32_t controlId, std::uint32_t value);

  unsigned GetDeviceCount() override { return deviceCount; }
  bool Open(unsigned index, QObject* owner, MixerHandle* handle) override;
  void Close(MixerHandle handle) override;
  bool GetDeviceName(MixerHandle handle, std::string* name) override;
  bool FindControl(MixerHandle handle, MixerControlKind kind, MixerControl* control) override;
  bool GetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t* value) override;
  bool SetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t value) override;

 private:
  bool Valid(MixerHandle handle) const { return handle != 0 && handle == handle_; }
  void Announce(std::uint32_t controlId);

  std::map<MixerControlKind, MixerControl> controls_;
  std::map<std::uint32_t, std::uint32_t> values_;
  std::map<std::uint32_t, int> reads_;
  QObject* owner_ = nullptr;
  MixerHandle handle_ = 0;
  MixerHandle nextHandle_ = 0x100;
};

}  // namespace kestrel::testing
