// Counts the heap allocations of the test process (operator new is replaced
// in allocation_counter.cpp), so a test can show a step allocates nothing.
#pragma once

#include <cstddef>

namespace kestrel::testing {
std::size_t AllocationCount();
}
