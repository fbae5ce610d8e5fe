#include "file_copy.h"

#include "file_names.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::stillbox {

namespace {

constexpr std::size_t kBlockBytes = 256 * 1024;
constexpr int kSourceWaitMs = 100;

// The mode a newly created file gets in this process.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

CFileCopy::~CFileCopy() {
  if (thread_.joinable()) {
    Cancel();
    Finish();
  }
}

bool CFileCopy::Start(const QString& source, const QString& destination, std::function<void()> finished) {
  destination_ = EncodeFileName(destination);
  // Not blocking, so that a pipe with no writer cannot hold up the opening.
  in_ = ::open(EncodeFileName(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat info {};
  if (in_ < 0 || ::fstat(in_, &info) != 0 || S_ISDIR(info.st_mode)) {
    Discard();
    return false;
  }
  total_ = S_ISREG(info.st_mode) ? info.st_size : 0;
  // A replaced file keeps its permissions; a new one gets the usual ones.
  struct stat existing {};
  mode_ = ::stat(destination_.constData(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();

  const qsizetype slash = destination_.lastIndexOf('/');
  const QByteArray folder = slash >= 0 ? destination_.left(slash + 1) : QByteArray();
  // Hidden, and not named like a frame, so that no listing takes it up.
  temporary_ = folder + '.' + destination_.mid(slash + 1) + ".XXXXXX";
  out_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
  if (out_ < 0) {
    temporary_.clear();
    Discard();
    return false;
  }
  finished_ = std::move(finished);
  thread_ = std::thread(&CFileCopy::Run, this);
  return true;
}

void CFileCopy::Run() {
  std::vector<std::uint8_t> block(kBlockBytes);
  while (!cancel_) {
    const ssize_t got = ::read(in_, block.data(), block.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno == EAGAIN) {
      pollfd waiting{in_, POLLIN, 0};
      ::poll(&waiting, 1, kSourceWaitMs);
      continue;
    }
    if (got < 0 || (got > 0 && !WriteAll(out_, block.data(), static_cast<std::size_t>(got)))) {
      failed_ = true;
      break;
    }
    if (got == 0) break;
    copied_ += got;
  }
  if (!cancel_ && !failed_ && ::fsync(out_) != 0) failed_ = true;
  stopped_ = true;
  if (finished_) finished_();
}

CFileCopy::Outcome CFileCopy::Finish() {
  if (thread_.joinable()) thread_.join();
  if (cancel_ || failed_) {
    const Outcome outcome = cancel_ ? Outcome::Cancelled : Outcome::Failed;
    Discard();
    return outcome;
  }
  const bool closed = ::fchmod(out_, mode_) == 0 && ::close(out_) == 0;
  out_ = -1;
  if (!closed || ::rename(temporary_.constData(), destination_.constData()) != 0) {
    Discard();
    return Outcome::Failed;
  }
  temporary_.clear();
  Discard();
  return Outcome::Copied;
}

void CFileCopy::Discard() {
  if (in_ >= 0) ::close(in_);
  if (out_ >= 0) ::close(out_);
  if (!temporary_.isEmpty()) ::unlink(temporary_.constData());
  in_ = out_ = -1;
  temporary_.clear();
}

}  // namespace kestrel::stillbox
