#include "ordered_work.h"

#include <sched.h>

namespace kestrel::tool {

unsigned AvailableCores() {
  // The processors this process is allowed, which may be fewer than the
  // machine has (taskset, a container's share).
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    const int count = CPU_COUNT(&set);
    if (count > 0) return static_cast<unsigned>(count);
  }
  const unsigned online = std::thread::hardware_concurrency();
  return online > 0 ? online : 1;
}

}  // namespace kestrel::tool
