#pragma once

namespace kestrel {

// What CWaveDevice needs of the volume dialog it owns: show and hide on
// request. The dialog reports its own closing by sending
// WM_VOLUME_DIALOG_CLOSED to the device's window.
class IVolumeDialogHook {
 public:
  virtual ~IVolumeDialogHook() = default;
  virtual void Show() = 0;
  virtual void Hide() = 0;
};

}  // namespace kestrel
