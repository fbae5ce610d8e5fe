// The platform services the main window runs on.
#pragma once

#include "playback_services.h"

namespace kestrel {

class IFileOpenDialog;
class IFileSaveDialog;
class IMessageBox;

struct PlayerServices {
  PlaybackServices playback;  // for the playback panel
  IMessageBox* messageBox = nullptr;
  IFileOpenDialog* openDialog = nullptr;
  IFileSaveDialog* saveDialog = nullptr;
};

}  // namespace kestrel
