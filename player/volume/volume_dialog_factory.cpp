#include "volume_dialog_factory.h"

#include "volume_dialog.h"

namespace kestrel {

std::unique_ptr<IVolumeDialogHook> CreateVolumeDialog(QWidget* owner, const VolumeServices& services) {
  auto dialog = std::make_unique<CVolumeDialog>(owner, services);
  dialog->Create();
  return dialog;
}

}  // namespace kestrel
