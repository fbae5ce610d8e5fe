// Stands in for the volume dialog behind the sound output.
#pragma once

#include "volume_dialog_hook.h"

namespace kestrel::testing {

class CFakeVolumeDialog final : public IVolumeDialogHook {
 public:
  void Show() override {
    visible = true;
    ++shows;
  }
  void Hide() override {
    visible = false;
    ++hides;
  }
  bool visible = false;
  int shows = 0;
  int hides = 0;
};

}  // namespace kestrel::testing
