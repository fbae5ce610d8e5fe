// The real services of the volume dialog: the sound server's mixer, a
// detached start of the system volume program and Qt's message box.
#pragma once

#include <memory>

#include "volume_services.h"

namespace kestrel {

class CDefaultVolumeServices {
 public:
  CDefaultVolumeServices();
  ~CDefaultVolumeServices();
  CDefaultVolumeServices(const CDefaultVolumeServices&) = delete;
  CDefaultVolumeServices& operator=(const CDefaultVolumeServices&) = delete;

  const VolumeServices& Services() const { return services_; }

 private:
  std::unique_ptr<IMixerService> mixer_;
  std::unique_ptr<IProgramLauncher> launcher_;
  std::unique_ptr<IMessageBox> messageBox_;
  VolumeServices services_;
};

}  // namespace kestrel
