// Opening a message without waiting on the file system: only a regular file
// is opened. A FIFO would wait for a writer, a device may wait or never end,
// and a directory is no message.
#pragma once

#include <cstdio>

namespace kestrel {

// The file at `path` opened for binary reading, or nullptr when it cannot be
// opened or is not a regular file.
std::FILE* OpenRegularFile(const char* path);

}  // namespace kestrel
