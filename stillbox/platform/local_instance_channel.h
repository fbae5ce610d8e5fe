#pragma once

#include "instance_channel.h"

#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// Single-instance channel on one machine: a lock file decides which copy is
// first (a lock left by a copy that is no longer running is taken over), and
// the first copy listens on a local socket beside it for the requests of
// later copies. Both live in a per-user directory.
class CLocalInstanceChannel : public IInstanceChannel {
 public:
  // directory: where the lock and the socket go; the user's runtime directory
  // when empty.
  explicit CLocalInstanceChannel(QString directory = {});
  ~CLocalInstanceChannel() override;

  ClaimResult Claim(const QString& name) override;
  bool Listen(Handler handler) override;
  bool Send(int message) override;
  void Release() override;

  QString LockPath() const;
  QString SocketPath() const;

  // How long Send keeps trying to reach a copy that may not listen yet, and
  // how long it waits for the answer.
  static constexpr int kConnectDeadlineMs = 3000;
  static constexpr int kAnswerTimeoutMs = 60000;

 private:
  QString m_directory;
  QString m_name;
  std::unique_ptr<QLockFile> m_lock;
  std::unique_ptr<QLocalServer> m_server;
  Handler m_handler;
};
