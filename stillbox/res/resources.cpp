#include "resources.h"

#include <QtGlobal>

static void InitStillboxResources() { Q_INIT_RESOURCE(stillbox); }

namespace res {

void EnsureResources() {
  static const bool done = (InitStillboxResources(), true);
  (void)done;
}

}  // namespace res
