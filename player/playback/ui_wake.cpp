#include "ui_wake.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

#include <QSocketNotifier>

namespace kestrel {

CUiWake::CUiWake(std::function<void()> handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  if (fd_ >= 0) {
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CUiWake::OnReadable);
  }
}

CUiWake::~CUiWake() {
  delete notifier_;
  if (fd_ >= 0) close(fd_);
}

void CUiWake::Wake() {
  if (fd_ < 0) return;
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
