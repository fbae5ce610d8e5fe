#include "file_copy.h"

#include "file_names.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

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
  if (m_thread.joinable()) {
    Cancel();
    Finish();
  }
}

bool CFileCopy::Start(const QString& source, const QString& destination, std::function<void()> finished) {
  m_destination = EncodeFileName(destination);
  // Not blocking, so that a pipe with no writer cannot hold up the opening.
  m_in = ::open(EncodeFileName(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat info {};
  if (m_in < 0 || ::fstat(m_in, &info) != 0 || S_ISDIR(info.st_mode)) {
    Discard();
    return false;
  }
  m_total = S_ISREG(info.st_mode) ? info.st_size : 0;
  // A replaced file keeps its permissions; a new one gets the usual ones.
  struct stat existing {};
  m_mode = ::stat(m_destination.constData(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();

  const qsizetype slash = m_destination.lastIndexOf('/');
  const QByteArray folder = slash >= 0 ? m_destination.left(slash + 1) : QByteArray();
  // Hidden, and not named like a frame, so that no listing takes it up.
  m_temporary = folder + '.' + m_destination.mid(slash + 1) + ".XXXXXX";
  m_out = ::mkostemp(m_temporary.data(), O_CLOEXEC);
  if (m_out < 0) {
    m_temporary.clear();
    Discard();
    return false;
  }
  m_finished = std::move(finished);
  m_thread = std::thread(&CFileCopy::Run, this);
  return true;
}

void CFileCopy::Run() {
  std::vector<std::uint8_t> block(kBlockBytes);
  while (!m_cancel) {
    const ssize_t got = ::read(m_in, block.data(), block.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno == EAGAIN) {
      pollfd waiting{m_in, POLLIN, 0};
      ::poll(&waiting, 1, kSourceWaitMs);
      continue;
    }
    if (got < 0 || (got > 0 && !WriteAll(m_out, block.data(), static_cast<std::size_t>(got)))) {
      m_failed = true;
      break;
    }
    if (got == 0) break;
    m_copied += got;
  }
  if (!m_cancel && !m_failed && ::fsync(m_out) != 0) m_failed = true;
  m_stopped = true;
  if (m_finished) m_finished();
}

CFileCopy::Outcome CFileCopy::Finish() {
  if (m_thread.joinable()) m_thread.join();
  if (m_cancel || m_failed) {
    const Outcome outcome = m_cancel ? Outcome::Cancelled : Outcome::Failed;
    Discard();
    return outcome;
  }
  const bool closed = ::fchmod(m_out, m_mode) == 0 && ::close(m_out) == 0;
  m_out = -1;
  if (!closed || ::rename(m_temporary.constData(), m_destination.constData()) != 0) {
    Discard();
    return Outcome::Failed;
  }
  m_temporary.clear();
  Discard();
  return Outcome::Copied;
}

void CFileCopy::Discard() {
  if (m_in >= 0) ::close(m_in);
  if (m_out >= 0) ::close(m_out);
  if (!m_temporary.isEmpty()) ::unlink(m_temporary.constData());
  m_in = m_out = -1;
  m_temporary.clear();
}
