// Wakes the thread that created it from any other thread, without allocating:
// Wake() bumps an eventfd, and the owner's event loop runs the handler.
// Several wakes before the handler runs give one call; the handler looks at
// whatever state the waking threads left for it.
#pragma once

#include <atomic>
#include <functional>

#include <QObject>

class QSocketNotifier;

namespace kestrel {

class CUiWake : public QObject {
  Q_OBJECT
 public:
  explicit CUiWake(std::function<void()> handler, QObject* parent = nullptr);
  ~CUiWake() override;
  CUiWake(const CUiWake&) = delete;
  CUiWake& operator=(const CUiWake&) = delete;

  // Any thread. Never blocks; allocates only without an eventfd.
  void Wake();

  // True when no eventfd could be made (the process is out of descriptors):
  // wakes then go through the owner's event queue, which allocates a small
  // event per wake but still wakes, and a warning has been logged.
  bool UsesEventQueue() const { return fd_ < 0; }

 private:
  void OnReadable();

  std::function<void()> handler_;
  int fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  std::atomic<bool> queued_{false};  // a queued wake not yet handled
};

}  // namespace kestrel
