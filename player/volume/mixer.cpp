#include "mixer.h"

#include "mixer_service.h"

namespace kestrel {

CMixer::CMixer(QObject* owner, IMixerService& service) : owner_(owner), service_(service) {}

CMixer::~CMixer() { Close(); }

unsigned CMixer::GetDeviceCount() {
  deviceCount_ = service_.GetDeviceCount();
  return deviceCount_;
}

bool CMixer::Open(unsigned index) {
  if (GetDeviceCount() == 0 || index >= deviceCount_) return false;
  Close();
  MixerHandle handle = 0;
  if (!service_.Open(index, owner_, &handle)) return false;
  device_ = handle;
  MixerCaps caps;
  if (!service_.GetCaps(device_, &caps)) return false;
  caps_ = caps;
  return true;
}

void CMixer::Close() {
  if (!device_) return;
  service_.Close(device_);
  device_ = 0;
  caps_ = MixerCaps{};
  // The controls belonged to that device; none of its ids may match later.
  ForgetControls();
}

void CMixer::ForgetControls() {
  masterVolume_ = masterMute_ = waveVolume_ = wavePeakMeter_ = waveMute_ = Control{};
}

bool CMixer::GetDeviceName(std::string& name) const {
  if (!device_) return false;
  name = caps_.productName;
  return true;
}

bool CMixer::FindMasterVolume() {
  return FindControl(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERCONTROL_CONTROLTYPE_VOLUME);
}

bool CMixer::FindMasterMute() {
  return FindControl(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERCONTROL_CONTROLTYPE_MUTE);
}

bool CMixer::FindWaveVolume() {
  return FindControl(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, MIXERCONTROL_CONTROLTYPE_VOLUME);
}

bool CMixer::FindWaveMute() { return FindControl(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, MIXERCONTROL_CONTROLTYPE_MUTE); }

bool CMixer::FindControl(std::uint32_t componentType, std::uint32_t controlType) {
  if (!device_) return false;
  MixerLine line;
  if (!service_.GetLineByComponentType(device_, componentType, &line)) return false;
  MixerControl control;
  if (!service_.GetControlByType(device_, line.lineId, controlType, &control)) return false;
  const bool speakers = componentType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  const bool wave = componentType == MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
  const Control found{true, control.controlId};
  if (speakers && controlType == MIXERCONTROL_CONTROLTYPE_VOLUME) {
    masterVolume_ = found;
    masterVolumeMinimum_ = static_cast<std::uint32_t>(control.minimum);
    masterVolumeMaximum_ = static_cast<std::uint32_t>(control.maximum);
  } else if (speakers && controlType == MIXERCONTROL_CONTROLTYPE_MUTE) {
    masterMute_ = found;
  } else if (wave && controlType == MIXERCONTROL_CONTROLTYPE_VOLUME) {
    waveVolume_ = found;
    waveVolumeMinimum_ = static_cast<std::uint32_t>(control.minimum);
    waveVolumeMaximum_ = static_cast<std::uint32_t>(control.maximum);
  } else if (wave && controlType == MIXERCONTROL_CONTROLTYPE_MUTE) {
    waveMute_ = found;
  } else {
    return false;
  }
  return true;
}

bool CMixer::FindWavePeakMeter() {
  if (!device_) return false;
  MixerLine speakers;
  if (!service_.GetLineByComponentType(device_, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, &speakers)) return false;
  if (speakers.connections == 0) return false;
  MixerLine source;
  bool found = false;
  for (std::uint32_t i = 0; i < speakers.connections; ++i) {
    if (!service_.GetSourceLine(device_, speakers.destination, i, &source)) return false;
    if (source.componentType == MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT) {
      found = true;
      break;
    }
  }
  if (!found || source.destination != speakers.destination) return false;
  MixerControl control;
  if (!service_.GetControlByType(device_, source.lineId, MIXERCONTROL_CONTROLTYPE_PEAKMETER, &control)) return false;
  wavePeakMeter_ = Control{true, control.controlId};
  wavePeakMeterMinimum_ = static_cast<std::int32_t>(control.minimum);
  wavePeakMeterMaximum_ = static_cast<std::int32_t>(control.maximum);
  return true;
}

bool CMixer::GetValue(const Control& control, std::uint32_t& value) {
  if (!device_ || !control.found) return false;
  std::uint32_t read = 0;
  if (!service_.GetControlValue(device_, control.id, &read)) return false;
  value = read;
  return true;
}

bool CMixer::SetValue(const Control& control, std::uint32_t value) {
  if (!device_ || !control.found) return false;
  return service_.SetControlValue(device_, control.id, value);
}

bool CMixer::GetFlag(const Control& control, bool& value) {
  std::uint32_t read = 0;
  if (!GetValue(control, read)) return false;
  value = read != 0;
  return true;
}

bool CMixer::GetMasterVolume(std::uint32_t& value) { return GetValue(masterVolume_, value); }
bool CMixer::SetMasterVolume(std::uint32_t value) { return SetValue(masterVolume_, value); }
bool CMixer::GetWaveVolume(std::uint32_t& value) { return GetValue(waveVolume_, value); }
bool CMixer::SetWaveVolume(std::uint32_t value) { return SetValue(waveVolume_, value); }
bool CMixer::GetMasterMute(bool& value) { return GetFlag(masterMute_, value); }
bool CMixer::SetMasterMute(bool value) { return SetValue(masterMute_, value ? 1u : 0u); }
bool CMixer::GetWaveMute(bool& value) { return GetFlag(waveMute_, value); }
bool CMixer::SetWaveMute(bool value) { return SetValue(waveMute_, value ? 1u : 0u); }

bool CMixer::GetWavePeak(std::int32_t& value) {
  std::uint32_t read = 0;
  if (!GetValue(wavePeakMeter_, read)) return false;
  value = static_cast<std::int32_t>(read);
  return true;
}

}  // namespace kestrel
