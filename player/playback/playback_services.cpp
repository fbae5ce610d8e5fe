#include "playback_services.h"

#include "pulse_wave_output.h"
#include "qt_message_box.h"
#include "silent_wave_output.h"
#include "string_table.h"

namespace kestrel {

CDefaultPlaybackServices::CDefaultPlaybackServices()
    : soundOutput_(std::make_unique<CPulseWaveOutput>(StringText(IDS_APP_TITLE))),
      silentOutput_(std::make_unique<CSilentWaveOutput>()),
      messageBox_(std::make_unique<CQtMessageBox>()) {
  services_.soundOutput = soundOutput_.get();
  services_.silentOutput = silentOutput_.get();
  services_.messageBox = messageBox_.get();
}

CDefaultPlaybackServices::~CDefaultPlaybackServices() = default;

}  // namespace kestrel
