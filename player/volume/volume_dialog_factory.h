// Makes the volume dialog a sound output owns: constructed with the
// device's window as owner and created from its template at once.
#pragma once

#include <memory>

#include "volume_dialog_hook.h"
#include "volume_services.h"

class QWidget;

namespace kestrel {

// The services outlive the dialog.
std::unique_ptr<IVolumeDialogHook> CreateVolumeDialog(QWidget* owner, const VolumeServices& services);

}  // namespace kestrel
