// Wakes the thread that created it from any other thread, without allocating:
// Wake() bumps an eventfd, and the owner's event loop runs the handler.
// Several wakes before the handler runs give one call; the handler looks at
// whatever state the waking threads left for it.
#pragma once

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

  // Any thread. Never blocks, never allocates.
  void Wake();

 private:
  void OnReadable();

  std::function<void()> handler_;
  int fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kestrel
