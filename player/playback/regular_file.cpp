#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

std::FILE* OpenRegularFile(const char* path) {
  // Non-blocking, so that the open itself of a FIFO without a writer or of
  // a slow device returns at once; what it opened is looked at before use.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    return nullptr;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  std::FILE* stream = fdopen(fd, "rb");
  if (!stream) close(fd);
  return stream;
}

}  // namespace kestrel
