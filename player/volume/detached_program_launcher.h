// The program launcher of the running player: QProcess::startDetached.
#pragma once

#include "program_launcher.h"

namespace kestrel {

class CDetachedProgramLauncher final : public IProgramLauncher {
 public:
  bool Start(const QString& program) override;
};

}  // namespace kestrel
