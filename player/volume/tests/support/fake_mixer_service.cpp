#include "fake_mixer_service.h"

#include <algorithm>

#include <QCoreApplication>

#include "mixer_control_change_event.h"

namespace kestrel::testing {

void CFakeMixerService::AddStandardDevice(const std::string& name) {
  deviceCount = 1;
  productName = name;
  AddControl(MixerControlKind::MasterVolume, MixerControl{kMasterVolume, 0, 65535}, 40000);
  AddControl(MixerControlKind::MasterMute, MixerControl{kMasterMute, 0, 1}, 0);
  AddControl(MixerControlKind::WaveVolume, MixerControl{kWaveVolume, 0, 65535}, 50000);
  AddControl(MixerControlKind::WaveMute, MixerControl{kWaveMute, 0, 1}, 0);
  AddControl(MixerControlKind::WavePeakMeter, MixerControl{kWavePeak, -32768, 32767}, 0);
}

void CFakeMixerService::AddControl(MixerControlKind kind, const MixerControl& control, std::uint32_t value) {
  controls_[kind] = control;
  values_[control.controlId] = value;
}

void CFakeMixerService::RemoveControl(std::uint32_t controlId) {
  std::erase_if(controls_, [&](const auto& entry) { return entry.second.controlId == controlId; });
}

int CFakeMixerService::ReadsOf(std::uint32_t controlId) const {
  const auto found = reads_.find(controlId);
  return found == reads_.end() ? 0 : found->second;
}

void CFakeMixerService::Announce(std::uint32_t controlId) {
  if (owner_) QCoreApplication::postEvent(owner_, new CMixerControlChangeEvent(handle_, controlId));
}

void CFakeMixerService::ExternalChange(std::uint32_t controlId, std::uint32_t value) {
  values_[controlId] = value;
  Announce(controlId);
}

bool CFakeMixerService::Open(unsigned index, QObject* owner, MixerHandle* handle) {
  if (failOpen || index >= deviceCount) return false;
  ++opens;
  owner_ = owner;
  handle_ = nextHandle_++;
  *handle = handle_;
  return true;
}

void CFakeMixerService::Close(MixerHandle handle) {
  if (!Valid(handle)) return;
  ++closes;
  owner_ = nullptr;
  handle_ = 0;
}

bool CFakeMixerService::GetDeviceName(MixerHandle handle, std::string* name) {
  if (!Valid(handle) || failName) return false;
  *name = productName.substr(0, kMixerProductNameLength);
  return true;
}

bool CFakeMixerService::FindControl(MixerHandle handle, MixerControlKind kind, MixerControl* control) {
  if (!Valid(handle)) return false;
  const auto found = controls_.find(kind);
  if (found == controls_.end()) return false;
  *control = found->second;
  return true;
}

bool CFakeMixerService::GetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t* value) {
  if (!Valid(handle)) return false;
  ++reads_[controlId];
  if (failingReads.count(controlId) || !values_.count(controlId)) return false;
  *value = values_[controlId];
  return true;
}

bool CFakeMixerService::SetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t value) {
  if (!Valid(handle) || failingWrites.count(controlId) || !values_.count(controlId)) return false;
  writes.emplace_back(controlId, value);
  const bool changed = values_[controlId] != value;
  values_[controlId] = value;
  if (changed) Announce(controlId);
  return true;
}

}  // namespace kestrel::testing
