#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "instance_channel.h"

class QLocalServer;
class QLockFile;

namespace kestrel {

// The channel on one machine: a lock file in the user's runtime directory
// decides which copy holds the name (the lock of a copy that is gone is taken
// over), and the holder listens on a local socket. The socket is a file
// beside the lock when that path fits a socket address, and otherwise (or
// when listening there fails) a name in the abstract socket namespace derived
// from the directory, so that any runtime directory works. Only peers of the
// same user are served, and only the request given to Listen, as one short
// line; the peer gets one line back once it has been handled.
class CLocalInstanceChannel final : public IInstanceChannel {
 public:
  // `directory`: where the lock (and the socket, when it fits) go; empty for
  // the runtime directory.
  explicit CLocalInstanceChannel(QString directory = {});
  ~CLocalInstanceChannel() override;
  CLocalInstanceChannel(const CLocalInstanceChannel&) = delete;
  CLocalInstanceChannel& operator=(const CLocalInstanceChannel&) = delete;

  ClaimResult Claim(const QString& name) override;
  bool Listen(int request, Handler handler) override;
  bool Send(int request) override;
  void Release() override;

  QString LockPath() const;
  // The socket file beside the lock, whether or not it fits an address.
  QString SocketPath() const;
  // The abstract socket name used when the file cannot be.
  QString AbstractName() const;
  // Where a holder listens: SocketPath() or AbstractName(); empty when not
  // listening.
  const QString& ListeningOn() const { return listeningOn_; }

  // How long Send tries to reach a holder that may not listen yet, and how
  // long it waits for the answer.
  static constexpr int kConnectDeadlineMs = 3000;
  static constexpr int kAnswerTimeoutMs = 60000;
  // A peer that does not end its request line within this time is
  // disconnected unheard (one that sends too much, at once).
  static constexpr int kRequestTimeoutMs = 5000;

 private:
  struct Address {
    QString name;
    bool abstract;
  };
  // Where a holder may listen, in the order they are tried.
  std::vector<Address> Addresses() const;
  bool ListenOn(const Address& address);

  QString directory_;
  QString name_;
  std::unique_ptr<QLockFile> lock_;
  std::unique_ptr<QLocalServer> server_;
  QString listeningOn_;
  QByteArray requestLine_;
  Handler handler_;
};

}  // namespace kestrel
