// The system mixer as CMixer uses it: one device at a time, lines found by
// kind or by place, controls found by kind, and values read and written one
// at a time as 4-byte words.
#pragma once

#include <cstdint>

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

  virtual bool GetCaps(MixerHandle handle, MixerCaps* caps) = 0;
  // The first line of that kind.
  virtual bool GetLineByComponentType(MixerHandle handle, std::uint32_t componentType, MixerLine* line) = 0;
  // Source `source` of destination `destination`.
  virtual bool GetSourceLine(MixerHandle handle, std::uint32_t destination, std::uint32_t source,
                             MixerLine* line) = 0;
  // The first control of that kind on the line.
  virtual bool GetControlByType(MixerHandle handle, std::uint32_t lineId, std::uint32_t controlType,
                                MixerControl* control) = 0;

  // One uniform value for all channels. `value` is written only on success.
  virtual bool GetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t* value) = 0;
  virtual bool SetControlValue(MixerHandle handle, std::uint32_t controlId, std::uint32_t value) = 0;
};

}  // namespace kestrel
