#include "ui_wake.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include <QSocketNotifier>
#include <QtGlobal>

namespace kestrel {

CUiWake::CUiWake(std::function<void()> handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  if (fd_ < 0) {
    // Silently doing nothing here would stall playback for good.
    qWarning("no eventfd for a wake (%s): waking through the event queue", std::strerror(errno));
    return;
  }
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &CUiWake::OnReadable);
}

CUiWake::~CUiWake() {
  delete notifier_;
  if (fd_ >= 0) close(fd_);
}

void CUiWake::Wake() {
  if (fd_ < 0) {
    if (queued_.exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
          queued_ = false;
          if (handler_) handler_();
        },
        Qt::QueuedConnection);
    return;
  }
  const std::uint64_t one = 1;
  // A full counter (never reached in practice) already means "wake up".
  [[maybe_unused]] const ssize_t written = write(fd_, &one, sizeof one);
}

void CUiWake::OnReadable() {
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t got = read(fd_, &count, sizeof count);
  if (handler_) handler_();
}

}  // namespace kestrel
