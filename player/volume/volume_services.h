// The platform services the volume dialog runs on.
#pragma once

namespace kestrel {

class IMessageBox;
class IMixerService;
class IProgramLauncher;

struct VolumeServices {
  IMixerService* mixer = nullptr;
  IProgramLauncher* launcher = nullptr;  // starts the system volume program
  IMessageBox* messageBox = nullptr;
};

}  // namespace kestrel
