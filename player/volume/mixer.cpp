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
  std::string name;
  if (!service_.GetDeviceName(device_, &name)) return false;
  name_ = name;
  return true;
}

void CMixer::Close() {
  if (!device_) return;
  service_.Close(device_);
  device_ = 0;
  name_.clear();
  // The controls belonged to that device; none of its ids may match later.
  ForgetControls();
}

void CMixer::ForgetControls() { masterVolume_ = masterMute_ = waveVolume_ = wavePeakMeter_ = waveMute_ = Control{}; }

bool CMixer::GetDeviceName(std::string& name) const {
  if (!device_) return false;
  name = name_;
  return true;
}

bool CMixer::FindMasterVolume() { return FindControl(MixerControlKind::MasterVolume); }
bool CMixer::FindMasterMute() { return FindControl(MixerControlKind::MasterMute); }
bool CMixer::FindWaveVolume() { return FindControl(MixerControlKind::WaveVolume); }
bool CMixer::FindWaveMute() { return FindControl(MixerControlKind::WaveMute); }
bool CMixer::FindWavePeakMeter() { return FindControl(MixerControlKind::WavePeakMeter); }

bool CMixer::FindControl(MixerControlKind kind) {
  if (!device_) return false;
  MixerControl control;
  if (!service_.FindControl(device_, kind, &control)) return false;
  const Control found{true, control.controlId};
  switch (kind) {
    case MixerControlKind::MasterVolume:
      masterVolume_ = found;
      masterVolumeMinimum_ = static_cast<std::uint32_t>(control.minimum);
      masterVolumeMaximum_ = static_cast<std::uint32_t>(control.maximum);
      break;
    case MixerControlKind::MasterMute:
      masterMute_ = found;
      break;
    case MixerControlKind::WaveVolume:
      waveVolume_ = found;
      waveVolumeMinimum_ = static_cast<std::uint32_t>(control.minimum);
      waveVolumeMaximum_ = static_cast<std::uint32_t>(control.maximum);
      break;
    case MixerControlKind::WaveMute:
      waveMute_ = found;
      break;
    case MixerControlKind::WavePeakMeter:
      wavePeakMeter_ = found;
      wavePeakMeterMinimum_ = static_cast<std::int32_t>(control.minimum);
      wavePeakMeterMaximum_ = static_cast<std::int32_t>(control.maximum);
      break;
  }
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
