// The mixer's change notice, MM_MIXM_CONTROL_CHANGE, as a Qt event: posted by
// the mixer service from its own thread, handled on the owner's thread.
#pragma once

#include <cstdint>

#include <QEvent>

#include "mixer_types.h"
#include "window_messages.h"

namespace kestrel {

inline constexpr int MM_MIXM_CONTROL_CHANGE = 0x3D1;

class CMixerControlChangeEvent : public QEvent {
 public:
  static constexpr QEvent::Type kType = EventTypeOf(MM_MIXM_CONTROL_CHANGE);

  CMixerControlChangeEvent(MixerHandle handle, std::uint32_t controlId)
      : QEvent(kType), handle_(handle), controlId_(controlId) {}

  MixerHandle Handle() const { return handle_; }
  std::uint32_t ControlId() const { return controlId_; }

 private:
  MixerHandle handle_;
  std::uint32_t controlId_;
};

}  // namespace kestrel
