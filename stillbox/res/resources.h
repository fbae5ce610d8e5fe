#pragma once

namespace res {

// Registers the compiled-in pictures; the program's library is static, so
// they are not registered by themselves. Safe to call more than once.
void EnsureResources();

}  // namespace res
