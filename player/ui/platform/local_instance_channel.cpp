#include "local_instance_channel.h"

#include <chrono>
#include <thread>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <unistd.h>

namespace kestrel {

namespace {
constexpr char kAnswer[] = "handled\n";

QString FileNameOf(QString name) {
  name.replace(QLatin1Char(' '), QLatin1Char('-'));
  return name;
}
}  // namespace

CLocalInstanceChannel::CLocalInstanceChannel(QString directory) : directory_(std::move(directory)) {
  if (directory_.isEmpty()) directory_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

CLocalInstanceChannel::~CLocalInstanceChannel() { Release(); }

QString CLocalInstanceChannel::LockPath() const { return directory_ + QLatin1Char('/') + FileNameOf(name_) + ".lock"; }

QString CLocalInstanceChannel::SocketName() const {
  // The user id keeps users apart where they share a directory.
  return directory_ + QLatin1Char('/') + FileNameOf(name_) + QStringLiteral(".%1.socket").arg(getuid());
}

IInstanceChannel::ClaimResult CLocalInstanceChannel::Claim(const QString& name) {
  Release();
  name_ = name;
  if (directory_.isEmpty() || !QDir().mkpath(directory_)) return ClaimResult::Failed;
  lock_ = std::make_unique<QLockFile>(LockPath());
  // Never stale by age; only when the holder's process is gone.
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(0)) return ClaimResult::First;
  const QLockFile::LockError error = lock_->error();
  lock_.reset();
  return error == QLockFile::LockFailedError ? ClaimResult::AlreadyClaimed : ClaimResult::Failed;
}

bool CLocalInstanceChannel::Listen(Handler handler) {
  if (!lock_) return false;
  handler_ = std::move(handler);
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(SocketName())) {
    // We hold the lock, so a socket there was left by a copy that has gone.
    QLocalServer::removeServer(SocketName());
    if (!server_->listen(SocketName())) return false;
  }
  QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] { Serve(); });
  return true;
}

void CLocalInstanceChannel::Serve() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto answer = [this, socket] {
      if (!socket->canReadLine() || socket->property("answered").toBool()) return;
      socket->setProperty("answered", true);
      bool ok = false;
      const int message = socket->readLine().trimmed().toInt(&ok);
      // Copy first: the handler may end this copy's channel.
      Handler handler = handler_;
      if (ok && handler) handler(message);
      socket->write(kAnswer);
      socket->flush();
      socket->disconnectFromServer();
    };
    QObject::connect(socket, &QLocalSocket::readyRead, socket, answer);
    answer();
  }
}

bool CLocalInstanceChannel::Send(int message) {
  QLocalSocket socket;
  const QDeadlineTimer connectDeadline(kConnectDeadlineMs);
  // The holder may have claimed the name and not listen yet.
  for (;;) {
    socket.connectToServer(SocketName());
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
      if (socket.canReadLine()) break;  // the answer came with the hang-up
      return false;
    }
  }
  return socket.readLine() == kAnswer;
}

void CLocalInstanceChannel::Release() {
  if (server_) {
    server_->close();
    server_.reset();
  }
  if (lock_) {
    lock_->unlock();
    lock_.reset();
  }
}

}  // namespace kestrel
