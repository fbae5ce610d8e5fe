#include "local_instance_channel.h"

#include "instance_request.h"

#include <chrono>
#include <thread>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kestrel {

namespace {

constexpr char kAnswer[] = "handled\n";
constexpr char kAnsweredProperty[] = "kestrelAnswered";

QString FileNameOf(QString name) {
  name.replace(QLatin1Char(' '), QLatin1Char('-'));
  return name;
}

// Anyone on the machine can reach an abstract socket name; the peer's
// credentials keep other users out.
bool PeerIsThisUser(qintptr descriptor) {
  ucred credentials{};
  socklen_t length = sizeof credentials;
  if (descriptor < 0 || getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) {
    return false;
  }
  return credentials.uid == getuid();
}

void Drop(QLocalSocket* socket) {
  socket->abort();
  socket->deleteLater();
}

// What a listening copy answers: one exact line.
struct Request {
  QByteArray line;
  IInstanceChannel::Handler handler;
};

void Answer(QLocalSocket* socket, const Request& request) {
  if (socket->property(kAnsweredProperty).toBool()) return;
  switch (JudgeRequest(socket->peek(kMaxInstanceRequestBytes), request.line)) {
    case RequestVerdict::Wait:
      return;
    case RequestVerdict::HangUp:
      socket->setProperty(kAnsweredProperty, true);
      Drop(socket);
      return;
    case RequestVerdict::Handle:
      socket->setProperty(kAnsweredProperty, true);
      break;
  }
  const QPointer<QLocalSocket> alive(socket);
  if (request.handler) request.handler();
  // The handler may have ended the channel, which aborts its sockets.
  if (!alive || socket->state() != QLocalSocket::ConnectedState) return;
  socket->write(kAnswer);
  socket->flush();
  socket->disconnectFromServer();
}

void Serve(QLocalServer* server, const Request& request) {
  while (QLocalSocket* socket = server->nextPendingConnection()) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!PeerIsThisUser(socket->socketDescriptor())) {
      Drop(socket);
      continue;
    }
    // The request is a few bytes; nothing more is ever buffered.
    socket->setReadBufferSize(kMaxInstanceRequestBytes);
    QTimer::singleShot(CLocalInstanceChannel::kRequestTimeoutMs, socket, [socket] {
      if (!socket->property(kAnsweredProperty).toBool()) Drop(socket);
    });
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, request] { Answer(socket, request); });
    Answer(socket, request);
  }
}

}  // namespace

CLocalInstanceChannel::CLocalInstanceChannel(QString directory) : directory_(std::move(directory)) {
  if (directory_.isEmpty()) directory_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

CLocalInstanceChannel::~CLocalInstanceChannel() { Release(); }

QString CLocalInstanceChannel::LockPath() const { return directory_ + QLatin1Char('/') + FileNameOf(name_) + ".lock"; }

QString CLocalInstanceChannel::SocketPath() const {
  // The user id keeps users apart where they share a directory.
  return directory_ + QLatin1Char('/') + FileNameOf(name_) + QStringLiteral(".%1.socket").arg(getuid());
}

QString CLocalInstanceChannel::AbstractName() const {
  // One name per runtime directory, as the socket file would be.
  const QByteArray directory = QFile::encodeName(QDir(directory_).absolutePath());
  const QByteArray digest = QCryptographicHash::hash(directory, QCryptographicHash::Sha256).toHex().left(16);
  return FileNameOf(name_) + QStringLiteral(".%1.%2").arg(getuid()).arg(QString::fromLatin1(digest));
}

std::vector<CLocalInstanceChannel::Address> CLocalInstanceChannel::Addresses() const {
  std::vector<Address> addresses;
  // A long runtime directory makes a path too long for a socket address.
  if (static_cast<std::size_t>(QFile::encodeName(SocketPath()).size()) < sizeof(sockaddr_un::sun_path)) {
    addresses.push_back({SocketPath(), false});
  }
  addresses.push_back({AbstractName(), true});
  return addresses;
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

bool CLocalInstanceChannel::Listen(int request, Handler handler) {
  if (!lock_) return false;
  requestLine_ = InstanceRequestLine(request);
  handler_ = std::move(handler);
  for (const Address& address : Addresses()) {
    if (ListenOn(address)) return true;
  }
  // A copy nobody can reach must not hold the name: later copies would wait
  // for it in vain.
  Release();
  return false;
}

bool CLocalInstanceChannel::ListenOn(const Address& address) {
  auto server = std::make_unique<QLocalServer>();
  server->setSocketOptions(address.abstract ? QLocalServer::AbstractNamespaceOption : QLocalServer::UserAccessOption);
  if (!server->listen(address.name)) {
    if (address.abstract) return false;
    // We hold the lock, so a socket file there was left by a copy that has gone.
    QLocalServer::removeServer(address.name);
    if (!server->listen(address.name)) return false;
  }
  QLocalServer* listening = server.get();
  QObject::connect(listening, &QLocalServer::newConnection, listening,
                   [listening, request = Request{requestLine_, handler_}] { Serve(listening, request); });
  server_ = std::move(server);
  listeningOn_ = address.name;
  return true;
}

bool CLocalInstanceChannel::Send(int request) {
  const std::vector<Address> addresses = Addresses();
  QLocalSocket socket;
  const QDeadlineTimer connectDeadline(kConnectDeadlineMs);
  const auto connectToHolder = [&] {
    for (const Address& address : addresses) {
      socket.setSocketOptions(address.abstract ? QLocalSocket::AbstractNamespaceOption : QLocalSocket::NoOptions);
      socket.connectToServer(address.name);
      if (socket.waitForConnected(200)) return true;
      socket.abort();
    }
    return false;
  };
  // The holder may have claimed the name and not listen yet.
  while (!connectToHolder()) {
    if (connectDeadline.hasExpired()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!PeerIsThisUser(socket.socketDescriptor())) return false;
  socket.write(InstanceRequestLine(request));
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
    // Peers still waiting get no answer.
    for (QLocalSocket* socket : server_->findChildren<QLocalSocket*>()) socket->abort();
    // Deleted later, not now: Release may run inside a handler that one of
    // these sockets called.
    server_.release()->deleteLater();
  }
  listeningOn_.clear();
  if (lock_) {
    lock_->unlock();
    lock_.reset();
  }
}

}  // namespace kestrel
