// The system mixer as CMixer uses it: one device at a time, five controls
// found by kind, and values read and written one at a time as 4-byte words.
#pragma once

#include <cstdint>
#include <string>

#include "mixer_types.h"

class QObject;

namespace kestrel {

class IMixerService {
 public:
  virtual ~IMixerService() = default;

  // Mixer devices present now; 0 when the service cannot be reached.
  virtual unsigned GetDeviceCount() = 0;

  // Opens device `index`. Until Close returns, a change of any control's
  // value, by any program, this one included, is posted to `owner` as a
  // CMixerControlChangeEvent, which is handled on the owner's thread.
  virtual bool Open(unsigned index, QObject* owner, MixerHandle* handle) = 0;
  // No notice is posted once this has returned.
  virtual void Close(MixerHandle handle) = 0;

  // The open device's name, at most kMixerProductNameLength bytes, cut on a
  // character boundary. `name` is written only on success.
  virtual bool GetDeviceName(MixerHandle handle, std::string* name) = 0;
  // The control of that kind, with its id and range; false when the device
  // has none. `control` is written only on success.
  virtual bool FindControl(MixerHandle handle, MixerControlKind kind, MixerControl* control) = 0;

  // One uniform value for all channels. `value` is written only on success.
  virtual bool GetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t* value) = 0;
  virtual bool SetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t value) = 0;
};

}  // namespace kestrel
