#include "native_files.h"

#include "file_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace kestrel::stillbox {

bool ReadRegularFile(const QString& path, std::vector<std::uint8_t>& bytes, std::size_t maxBytes) {
  bytes.clear();
  const int fd = ::open(EncodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) <= maxBytes;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) ok = false;
      if (got <= 0) break;  // a file that shrank meanwhile ends where it ends
      done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
  }
  ::close(fd);
  if (!ok) bytes.clear();
  return ok;
}

bool RemoveFile(const QString& path) { return ::unlink(EncodeFileName(path).constData()) == 0; }

bool PathExists(const QString& path) {
  struct stat info {};
  return ::lstat(EncodeFileName(path).constData(), &info) == 0;
}

}  // namespace kestrel::stillbox
