// A program launcher that records what it was asked to start.
#pragma once

#include <QStringList>

#include "program_launcher.h"

namespace kestrel::testing {

class CFakeProgramLauncher final : public IProgramLauncher {
 public:
  bool Start(const QString& program) override {
    started.append(program);
    return startSucceeds;
  }
  bool startSucceeds = true;
  QStringList started;
};

}  // namespace kestrel::testing
