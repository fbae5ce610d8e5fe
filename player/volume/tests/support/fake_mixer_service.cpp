#include "fake_mixer_service.h"

#include <algorithm>

#include <QCoreApplication>

#include "mixer_control_change_event.h"

namespace kestrel::testing {

void CFakeMixerService::AddStandardDevice(const std::string& name) {
  deviceCount = 1;
  productName = name;
  AddLine(MixerLine{0, 0, kSpeakersLine, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 1, 2});
  AddLine(MixerLine{0, 0, kWaveLine, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 0, 3});
  AddControl(kSpeakersLine, MixerControl{kMasterVolume, MIXERCONTROL_CONTROLTYPE_VOLUME, 0, 65535}, 40000);
  AddControl(kSpeakersLine, MixerControl{kMasterMute, MIXERCONTROL_CONTROLTYPE_MUTE, 0, 1}, 0);
  AddControl(kWaveLine, MixerControl{kWaveVolume, MIXERCONTROL_CONTROLTYPE_VOLUME, 0, 65535}, 50000);
  AddControl(kWaveLine, MixerControl{kWaveMute, MIXERCONTROL_CONTROLTYPE_MUTE, 0, 1}, 0);
  AddControl(kWaveLine, MixerControl{kWavePeak, MIXERCONTROL_CONTROLTYPE_PEAKMETER, -32768, 32767}, 0);
}

void CFakeMixerService::AddControl(std::uint32_t lineId, const MixerControl& control, std::uint32_t value) {
  controls_.push_back(Entry{lineId, control});
  values_[control.controlId] = value;
}

void CFakeMixerService::RemoveControl(std::uint32_t controlId) {
  std::erase_if(controls_, [&](const Entry& entry) { return entry.control.controlId == controlId; });
}

void CFakeMixerService::RemoveLine(std::uint32_t lineId) {
  std::erase_if(lines_, [&](const MixerLine& line) { return line.lineId == lineId; });
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

bool CFakeMixerService::GetCaps(MixerHandle handle, MixerCaps* caps) {
  if (!Valid(handle) || failCaps) return false;
  *caps = MixerCaps{};
  caps->productName = productName.substr(0, kMixerProductNameLength);
  caps->destinations = 1;
  return true;
}

bool CFakeMixerService::GetLineByComponentType(MixerHandle handle, std::uint32_t componentType, MixerLine* line) {
  if (!Valid(handle)) return false;
  for (const MixerLine& candidate : lines_) {
    if (candidate.componentType == componentType) {
      *line = candidate;
      return true;
    }
  }
  return false;
}

bool CFakeMixerService::GetSourceLine(MixerHandle handle, std::uint32_t destination, std::uint32_t source,
                                      MixerLine* line) {
  if (!Valid(handle)) return false;
  // Sources are the lines that are not destinations, numbered per destination
  // in the order they were added.
  std::uint32_t index = 0;
  for (const MixerLine& candidate : lines_) {
    if (candidate.componentType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) continue;
    if (candidate.destination != destination) continue;
    if (index++ == source) {
      *line = candidate;
      return true;
    }
  }
  return false;
}

bool CFakeMixerService::GetControlByType(MixerHandle handle, std::uint32_t lineId, std::uint32_t controlType,
                                         MixerControl* control) {
  if (!Valid(handle)) return false;
  for (const Entry& entry : controls_) {
    if (entry.lineId == lineId && entry.control.controlType == controlType) {
      *control = entry.control;
      return true;
    }
  }
  return false;
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
