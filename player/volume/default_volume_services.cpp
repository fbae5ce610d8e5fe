#include "default_volume_services.h"

#include "detached_program_launcher.h"
#include "pulse_mixer_service.h"
#include "qt_message_box.h"
#include "string_table.h"

namespace kestrel {

CDefaultVolumeServices::CDefaultVolumeServices()
    : mixer_(std::make_unique<CPulseMixerService>(StringText(IDS_APP_TITLE))),
      launcher_(std::make_unique<CDetachedProgramLauncher>()),
      messageBox_(std::make_unique<CQtMessageBox>()) {
  services_.mixer = mixer_.get();
  services_.launcher = launcher_.get();
  services_.messageBox = messageBox_.get();
}

CDefaultVolumeServices::~CDefaultVolumeServices() = default;

}  // namespace kestrel
