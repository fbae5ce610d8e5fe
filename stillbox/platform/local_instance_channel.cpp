#include "local_instance_channel.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <thread>

#include <unistd.h>

namespace {

constexpr char kAnswer[] = "done\n";

}  // namespace

CLocalInstanceChannel::CLocalInstanceChannel(QString directory) : m_directory(std::move(directory)) {
  if (m_directory.isEmpty()) {
    m_directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  }
}

CLocalInstanceChannel::~CLocalInstanceChannel() { Release(); }

QString CLocalInstanceChannel::LockPath() const { return m_directory + QLatin1Char('/') + m_name + QStringLiteral(".lock"); }

QString CLocalInstanceChannel::SocketPath() const {
  // The user id keeps two users apart even when they share a directory.
  return m_directory + QLatin1Char('/') + m_name + QStringLiteral(".%1.socket").arg(getuid());
}

IInstanceChannel::ClaimResult CLocalInstanceChannel::Claim(const QString& name) {
  Release();
  m_name = name;
  if (!QDir().mkpath(m_directory)) return ClaimResult::Failed;
  m_lock = std::make_unique<QLockFile>(LockPath());
  // Zero: never stale by age, only when the holding process is gone.
  m_lock->setStaleLockTime(0);
  if (m_lock->tryLock(0)) return ClaimResult::First;
  const QLockFile::LockError error = m_lock->error();
  m_lock.reset();
  return error == QLockFile::LockFailedError ? ClaimResult::AlreadyClaimed : ClaimResult::Failed;
}

bool CLocalInstanceChannel::Listen(Handler handler) {
  if (!m_lock) return false;
  m_handler = std::move(handler);
  m_server = std::make_unique<QLocalServer>();
  m_server->setSocketOptions(QLocalServer::UserAccessOption);
  const QString path = SocketPath();
  if (!m_server->listen(path)) {
    // We hold the lock, so a socket file there was left by a copy that ended.
    QLocalServer::removeServer(path);
    if (!m_server->listen(path)) return false;
  }
  QLocalServer* server = m_server.get();
  QObject::connect(server, &QLocalServer::newConnection, server, [this, server] {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      auto serve = [this, socket] {
        if (!socket->canReadLine() || socket->property("served").toBool()) return;
        socket->setProperty("served", true);
        bool ok = false;
        const int message = socket->readLine().trimmed().toInt(&ok);
        if (ok && m_handler) m_handler(message);
        // Answer only now: the sender waits as long as the handling takes.
        socket->write(kAnswer);
        socket->flush();
        socket->disconnectFromServer();
      };
      QObject::connect(socket, &QLocalSocket::readyRead, socket, serve);
      serve();
    }
  });
  return true;
}

bool CLocalInstanceChannel::Send(int message) {
  QLocalSocket socket;
  const QDeadlineTimer connectDeadline(kConnectDeadlineMs);
  // The running copy may hold the lock but not listen yet.
  for (;;) {
    socket.connectToServer(SocketPath());
    if (socket.waitForConnected(200)) break;
    socket.abort();
    if (connectDeadline.hasExpired()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  socket.write(QByteArray::number(message) + '\n');
  if (!socket.waitForBytesWritten(kAnswerTimeoutMs)) return false;
  const QDeadlineTimer answerDeadline(kAnswerTimeoutMs);
  while (!socket.canReadLine()) {
    if (answerDeadline.hasExpired()) return false;
    if (!socket.waitForReadyRead(static_cast<int>(answerDeadline.remainingTime()))) {
      // The answer may have come with the disconnection.
      if (socket.canReadLine()) break;
      return false;
    }
  }
  return socket.readLine() == kAnswer;
}

void CLocalInstanceChannel::Release() {
  if (m_server) {
    m_server->close();
    m_server.reset();
  }
  if (m_lock) {
    m_lock->unlock();
    m_lock.reset();
  }
}
