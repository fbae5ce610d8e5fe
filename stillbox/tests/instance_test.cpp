// The single-instance guard and its local channel.
#include "browser_events.h"
#include "instance_guard.h"
#include "platform/local_instance_channel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <atomic>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class FakeChannel : public IInstanceChannel {
 public:
  ClaimResult Claim(const QString& name) override {
    claimedName = name;
    return result;
  }
  bool Listen(Handler h) override {
    handler = std::move(h);
    return true;
  }
  bool Send(int message) override {
    sent.push_back(message);
    return true;
  }
  void Release() override { ++released; }

  ClaimResult result = ClaimResult::First;
  QString claimedName;
  Handler handler;
  std::vector<int> sent;
  int released = 0;
};

// A top-level window that counts the refresh requests it receives.
class RefreshCounter : public QWidget {
 public:
  int refreshes = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == EventTypeForMessage(WM_REFRESH_FRAMES)) {
      ++refreshes;
      return true;
    }
    return QWidget::event(event);
  }
};

TEST(InstanceGuard, TheFirstCopyClaimsTheNameAndListens) {
  FakeChannel channel;
  {
    CInstanceGuard guard(channel);
    EXPECT_TRUE(guard.Claim(WM_REFRESH_FRAMES));
    EXPECT_EQ(channel.claimedName, "Talvio Frames Browser SingleInstance Mutex");
    EXPECT_TRUE(channel.handler);
    EXPECT_TRUE(channel.sent.empty());
  }
  EXPECT_EQ(channel.released, 1) << "the name is given up when the guard goes";
}

TEST(InstanceGuard, ALaterCopySendsItsMessageAndMustEnd) {
  FakeChannel channel;
  channel.result = IInstanceChannel::ClaimResult::AlreadyClaimed;
  CInstanceGuard guard(channel);
  EXPECT_FALSE(guard.Claim(WM_REFRESH_FRAMES));
  EXPECT_EQ(channel.sent, std::vector<int>{0x464});
  EXPECT_FALSE(channel.handler);
}

TEST(InstanceGuard, ACopyThatCannotExamineTheNameRunsUnguarded) {
  FakeChannel channel;
  channel.result = IInstanceChannel::ClaimResult::Failed;
  {
    CInstanceGuard guard(channel);
    EXPECT_TRUE(guard.Claim(WM_REFRESH_FRAMES));
    EXPECT_FALSE(guard.HoldsName());
  }
  EXPECT_EQ(channel.released, 0);
}

TEST(InstanceGuard, HandOverRestoresTheWindowTitledLikeTheBrowserAndRefreshesIt) {
  RefreshCounter window;
  window.setWindowTitle("Kestrel Frames Browser");
  window.showMinimized();
  ASSERT_TRUE(window.isMinimized());
  RefreshCounter other;
  other.setWindowTitle("Kestrel Frames Browser (old)");
  other.show();

  CInstanceGuard::HandOver(WM_REFRESH_FRAMES);
  EXPECT_FALSE(window.isMinimized());
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.refreshes, 1) << "sent, so handled before HandOver returns";
  EXPECT_EQ(other.refreshes, 0) << "only an exact title counts";

  CInstanceGuard::HandOver(0);
  EXPECT_EQ(window.refreshes, 1) << "message 0 sends nothing";
}

class LocalChannelTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }
  QTemporaryDir dir;
  const QString name = QStringLiteral("Test Browser SingleInstance Mutex");
};

TEST_F(LocalChannelTest, OnlyOneCopyClaimsTheNameUntilItIsReleased) {
  CLocalInstanceChannel first(dir.path());
  CLocalInstanceChannel second(dir.path());
  EXPECT_EQ(first.Claim(name), IInstanceChannel::ClaimResult::First);
  EXPECT_EQ(second.Claim(name), IInstanceChannel::ClaimResult::AlreadyClaimed);
  first.Release();
  EXPECT_EQ(second.Claim(name), IInstanceChannel::ClaimResult::First);
}

TEST_F(LocalChannelTest, SendWaitsUntilTheRunningCopyHasHandledTheMessage) {
  CLocalInstanceChannel running(dir.path());
  ASSERT_EQ(running.Claim(name), IInstanceChannel::ClaimResult::First);
  std::atomic<int> handled{0};
  std::atomic<bool> handling{false};
  ASSERT_TRUE(running.Listen([&](int message) {
    handling = true;
    QTest::qWait(200);  // a slow refresh
    handled = message;
  }));

  std::atomic<bool> sent{false};
  std::atomic<int> seenWhenAnswered{-1};
  std::thread later([&] {
    CLocalInstanceChannel newer(dir.path());
    if (newer.Claim(name) != IInstanceChannel::ClaimResult::AlreadyClaimed) return;
    sent = newer.Send(WM_REFRESH_FRAMES);
    seenWhenAnswered = handled.load();
  });
  QTRY_VERIFY_WITH_TIMEOUT(sent.load() || seenWhenAnswered.load() != -1, 10000);
  later.join();
  EXPECT_TRUE(sent.load());
  EXPECT_TRUE(handling.load());
  EXPECT_EQ(seenWhenAnswered.load(), WM_REFRESH_FRAMES) << "the answer came only after the handling";
}

TEST_F(LocalChannelTest, SendFailsWhenNobodyListens) {
  CLocalInstanceChannel holder(dir.path());
  ASSERT_EQ(holder.Claim(name), IInstanceChannel::ClaimResult::First);
  CLocalInstanceChannel newer(dir.path());
  ASSERT_EQ(newer.Claim(name), IInstanceChannel::ClaimResult::AlreadyClaimed);
  EXPECT_FALSE(newer.Send(WM_REFRESH_FRAMES));
}

TEST_F(LocalChannelTest, TheLockOfACopyThatCrashedIsTakenOver) {
  CLocalInstanceChannel probe(dir.path());
  ASSERT_EQ(probe.Claim(name), IInstanceChannel::ClaimResult::First);
  const QString lockPath = probe.LockPath();
  const QString socketPath = probe.SocketPath();
  probe.Release();

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Takes the lock and its socket name, then dies without cleaning up.
    QLockFile lock(lockPath);
    lock.setStaleLockTime(0);
    const bool locked = lock.tryLock(0);
    QFile socketFile(socketPath);
    socketFile.open(QIODevice::WriteOnly);
    _exit(locked ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_TRUE(QFile::exists(lockPath));
  ASSERT_TRUE(QFile::exists(socketPath));

  CLocalInstanceChannel next(dir.path());
  EXPECT_EQ(next.Claim(name), IInstanceChannel::ClaimResult::First);
  EXPECT_TRUE(next.Listen([](int) {})) << "a socket file left behind must not stop listening";
}

}  // namespace
