// The single-instance channel between channels of one process, over real
// local sockets: one holder at a time, the answer only after the handling,
// nothing but the one request served, and any runtime directory.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include <QCoreApplication>
#include <QFile>
#include <QHostInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>

#include "local_instance_channel.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using Claim = IInstanceChannel::ClaimResult;

constexpr int kRequest = 0x464;

// Runs `work` on a thread of its own while this thread's event loop serves
// the holder, and returns its result.
template <typename Work>
auto OffThread(Work work) -> decltype(work()) {
  std::optional<decltype(work())> result;
  std::atomic<bool> done{false};
  std::thread thread([&] {
    result = work();
    done = true;
  });
  const auto deadline = std::chrono::steady_clock::now() + 70s;
  while (!done && std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  thread.join();
  return *result;
}

struct Exchange {
  bool hungUp = false;
  QByteArray answer;
};

// Sends `bytes` to the holder as any local program could, and waits for the
// holder to end the connection.
Exchange RawExchange(const CLocalInstanceChannel& holder, const QByteArray& bytes) {
  QLocalSocket socket;
  const bool abstract = holder.ListeningOn() == holder.AbstractName();
  socket.setSocketOptions(abstract ? QLocalSocket::AbstractNamespaceOption : QLocalSocket::NoOptions);
  socket.connectToServer(holder.ListeningOn());
  if (!socket.waitForConnected(3000)) return {};
  socket.write(bytes);
  socket.waitForBytesWritten(3000);
  Exchange exchange;
  exchange.hungUp = socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(8000);
  exchange.answer = socket.readAll();
  return exchange;
}

class LocalInstanceChannelTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.isValid()); }
  QTemporaryDir folder;
  const QString name = QStringLiteral("Talvio Frames Browser SingleInstance Mutex");
};

TEST_F(LocalInstanceChannelTest, OneHolderAtATimeAnsweringOnlyAfterItHasHandledTheRequest) {
  CLocalInstanceChannel running(folder.path());
  CLocalInstanceChannel newer(folder.path());
  ASSERT_EQ(running.Claim(name), Claim::First);
  ASSERT_EQ(newer.Claim(name), Claim::AlreadyClaimed);

  std::atomic<int> handled{0};
  ASSERT_TRUE(running.Listen(kRequest, [&] {
    std::this_thread::sleep_for(200ms);  // a slow refresh
    ++handled;
  }));
  EXPECT_EQ(running.ListeningOn(), running.SocketPath()) << "a short directory holds the socket file";
  const int handledWhenAnswered = OffThread([&] { return newer.Send(kRequest) ? handled.load() : -1; });
  EXPECT_EQ(handledWhenAnswered, 1);

  running.Release();
  EXPECT_EQ(newer.Claim(name), Claim::First) << "the name is free once its holder gives it up";
}

TEST_F(LocalInstanceChannelTest, TheLockAndSocketOfACopyThatIsGoneAreTakenOver) {
  CLocalInstanceChannel probe(folder.path());
  ASSERT_EQ(probe.Claim(name), Claim::First);
  const QString lockPath = probe.LockPath();
  const QString socketPath = probe.SocketPath();
  probe.Release();
  // What a crashed copy leaves: a lock naming a process that runs no more,
  // and its socket file.
  QProcess gone;
  gone.start(QStringLiteral("/bin/true"));
  ASSERT_TRUE(gone.waitForFinished());
  QFile lock(lockPath);
  ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
  lock.write(QByteArray::number(gone.processId() ? gone.processId() : 999999) + "\nstillbox\n" +
             QHostInfo::localHostName().toUtf8() + "\n");
  lock.close();
  QFile socketFile(socketPath);
  ASSERT_TRUE(socketFile.open(QIODevice::WriteOnly));
  socketFile.close();

  CLocalInstanceChannel next(folder.path());
  ASSERT_EQ(next.Claim(name), Claim::First);
  int handled = 0;
  ASSERT_TRUE(next.Listen(kRequest, [&] { ++handled; }));
  CLocalInstanceChannel later(folder.path());
  ASSERT_EQ(later.Claim(name), Claim::AlreadyClaimed);
  EXPECT_TRUE(OffThread([&] { return later.Send(kRequest); }));
  EXPECT_EQ(handled, 1);
}

TEST_F(LocalInstanceChannelTest, SendWithoutAListenerGivesUp) {
  CLocalInstanceChannel holder(folder.path());
  CLocalInstanceChannel newer(folder.path());
  ASSERT_EQ(holder.Claim(name), Claim::First);
  ASSERT_EQ(newer.Claim(name), Claim::AlreadyClaimed);
  EXPECT_FALSE(newer.Send(kRequest));
}

TEST_F(LocalInstanceChannelTest, OnlyTheOneRequestIsHandledAndAnythingElseIsHungUpUnheard) {
  CLocalInstanceChannel holder(folder.path());
  ASSERT_EQ(holder.Claim(name), Claim::First);
  int handled = 0;
  ASSERT_TRUE(holder.Listen(kRequest, [&] { ++handled; }));

  const QByteArray strangers[] = {
      "-5\n",                               // a negative number
      "16\n",                               // another program's request
      "abc\n",                              // garbage
      "\n",                                 // an empty line
      "1124 \n",                            // the request, but not exactly
      "4294968420\n",                       // 2^32 + 1124
      "1124" + QByteArray(40, '0') + "\n",  // a long line
      QByteArray(1 << 20, 'x'),             // a megabyte without an end of line
  };
  for (const QByteArray& bytes : strangers) {
    const Exchange exchange = OffThread([&] { return RawExchange(holder, bytes); });
    EXPECT_TRUE(exchange.hungUp) << bytes.left(20).toStdString();
    EXPECT_TRUE(exchange.answer.isEmpty()) << bytes.left(20).toStdString();
  }
  EXPECT_EQ(handled, 0);

  const Exchange request = OffThread([&] { return RawExchange(holder, QByteArray::number(kRequest) + "\n"); });
  EXPECT_EQ(request.answer, "handled\n");
  EXPECT_EQ(handled, 1) << "the holder still serves its own request";
}

TEST_F(LocalInstanceChannelTest, ARuntimeDirectoryTooLongForASocketPathStillHandsOver) {
  // 100 characters, as a deeply nested home directory may give.
  QString directory = folder.path() + QLatin1Char('/');
  directory += QString(100 - directory.size(), QLatin1Char('r'));
  ASSERT_EQ(directory.size(), 100);
  CLocalInstanceChannel running(directory);
  CLocalInstanceChannel newer(directory);
  ASSERT_EQ(running.Claim(name), Claim::First);
  ASSERT_EQ(newer.Claim(name), Claim::AlreadyClaimed);
  int handled = 0;
  ASSERT_TRUE(running.Listen(kRequest, [&] { ++handled; }));
  EXPECT_EQ(running.ListeningOn(), running.AbstractName());
  EXPECT_TRUE(OffThread([&] { return newer.Send(kRequest); }));
  EXPECT_EQ(handled, 1);

  CLocalInstanceChannel elsewhere(directory + QLatin1Char('2'));
  ASSERT_EQ(elsewhere.Claim(name), Claim::First) << "another runtime directory is another name";
  EXPECT_NE(elsewhere.AbstractName(), running.AbstractName());
}

TEST_F(LocalInstanceChannelTest, AHandlerThatEndsTheChannelLeavesTheNameFree) {
  CLocalInstanceChannel holder(folder.path());
  CLocalInstanceChannel newer(folder.path());
  ASSERT_EQ(holder.Claim(name), Claim::First);
  ASSERT_EQ(newer.Claim(name), Claim::AlreadyClaimed);
  ASSERT_TRUE(holder.Listen(kRequest, [&] { holder.Release(); }));
  EXPECT_FALSE(OffThread([&] { return newer.Send(kRequest); })) << "no answer from a channel that ended";
  EXPECT_EQ(newer.Claim(name), Claim::First);
}

}  // namespace
}  // namespace kestrel
