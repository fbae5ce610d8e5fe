// A mixer service held in memory: a device is described line by line and
// control by control, values can fail to read or write, and other programs'
// changes are played in with ExternalChange.
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
  static constexpr std::uint32_t kSpeakersLine = 0xFFFF0000;
  static constexpr std::uint32_t kWaveLine = 0x00001000;
  static constexpr std::uint32_t kMasterVolume = 11;
  static constexpr std::uint32_t kMasterMute = 12;
  static constexpr std::uint32_t kWaveVolume = 13;
  static constexpr std::uint32_t kWaveMute = 14;
  static constexpr std::uint32_t kWavePeak = 15;

  // One device: a speakers destination with volume 0..65535 and mute, fed by
  // a wave-output source with volume, mute and a peak meter -32768..32767.
  void AddStandardDevice(const std::string& name = "Fake Speakers");

  void AddLine(const MixerLine& line) { lines_.push_back(line); }
  void AddControl(std::uint32_t lineId, const MixerControl& control, std::uint32_t value);
  void RemoveControl(std::uint32_t controlId);
  void RemoveLine(std::uint32_t lineId);

  unsigned deviceCount = 0;
  bool failOpen = false;
  bool failCaps = false;
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
  bool GetCaps(MixerHandle handle, MixerCaps* caps) override;
  bool GetLineByComponentType(MixerHandle handle, std::uint32_t componentType, MixerLine* line) override;
  bool GetSourceLine(MixerHandle handle, std::uint32_t destination, std::uint32_t source, MixerLine* line) override;
  bool GetControlByType(MixerHandle handle, std::uint32_t lineId, std::uint32_t controlType,
                        MixerControl* control) override;
  bool GetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t* value) override;
  bool SetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t value) override;

 private:
  struct Entry {
    std::uint32_t lineId;
    MixerControl control;
  };
  bool Valid(MixerHandle handle) const { return handle != 0 && handle == handle_; }
  void Announce(std::uint32_t controlId);

  std::vector<MixerLine> lines_;
  std::vector<Entry> controls_;
  std::map<std::uint32_t, std::uint32_t> values_;
  std::map<std::uint32_t, int> reads_;
  QObject* owner_ = nullptr;
  MixerHandle handle_ = 0;
  MixerHandle nextHandle_ = 0x100;
};

}  // namespace kestrel::testing
