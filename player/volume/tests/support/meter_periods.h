// Waiting out the level meter's timer without sleeping for a fixed time.
#pragma once

#include <QTimer>

#include "pump.h"
#include "volume_dialog.h"

namespace kestrel::testing {

// Runs the event loop until `periods` periods of the meter's timer have
// passed, as counted by a timer of that period started now. A meter timer
// started before it fires before it, however loaded the machine: had the
// dialog's timer been running, the meter would have been fed by then.
inline bool LetMeterPeriodsPass(int periods) {
  QTimer sentinel;
  int ticks = 0;
  QObject::connect(&sentinel, &QTimer::timeout, [&] { ++ticks; });
  sentinel.start(CVolumeDialog::kMeterPeriodMs);
  return PumpUntil([&] { return ticks >= periods; });
}

}  // namespace kestrel::testing
