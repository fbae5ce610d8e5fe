#include "ui_wake.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>
#include <memory>
#include <thread>

#include <QCoreApplication>

#include "pump.h"

namespace kestrel {
namespace {

using testing::PumpUntil;

// While it lives, the process can open no file descriptor.
class NoDescriptors {
 public:
  NoDescriptors() {
    getrlimit(RLIMIT_NOFILE, &saved_);
    rlimit none = saved_;
    none.rlim_cur = 0;
    setrlimit(RLIMIT_NOFILE, &none);
  }
  ~NoDescriptors() { setrlimit(RLIMIT_NOFILE, &saved_); }
  NoDescriptors(const NoDescriptors&) = delete;
  NoDescriptors& operator=(const NoDescriptors&) = delete;

 private:
  rlimit saved_{};
};

// Wakes from another thread reach the handler on the creating thread, several
// before it runs as one call; without an eventfd (a process out of
// descriptors) they still do, and the wake says how it works.
TEST(UiWake, WakesFromAnotherThreadWithOrWithoutAnEventFd) {
  for (const bool starved : {false, true}) {
    SCOPED_TRACE(starved ? "no eventfd" : "eventfd");
    std::atomic<int> calls{0};
    std::atomic<bool> onCreatingThread{false};
    const auto creator = std::this_thread::get_id();
    std::unique_ptr<CUiWake> wake;
    {
      std::unique_ptr<NoDescriptors> limit = starved ? std::make_unique<NoDescriptors>() : nullptr;
      wake = std::make_unique<CUiWake>([&] {
        onCreatingThread = std::this_thread::get_id() == creator;
        ++calls;
      });
    }
    EXPECT_EQ(wake->UsesEventQueue(), starved);

    std::thread waker([&] {
      for (int i = 0; i < 3; ++i) wake->Wake();
    });
    waker.join();
    ASSERT_TRUE(PumpUntil([&] { return calls.load() > 0; })) << "a wake must never be lost";
    QCoreApplication::processEvents();
    EXPECT_EQ(calls.load(), 1) << "three wakes before the handler ran give one call";
    EXPECT_TRUE(onCreatingThread.load());

    wake->Wake();
    ASSERT_TRUE(PumpUntil([&] { return calls.load() == 2; })) << "a later wake is handled again";
  }
}

}  // namespace
}  // namespace kestrel
