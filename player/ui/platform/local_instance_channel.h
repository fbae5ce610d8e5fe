#pragma once

#include <memory>

#include <QString>

#include "instance_channel.h"

class QLocalServer;
class QLockFile;

namespace kestrel {

// The channel on one machine: a lock file decides which copy holds the name
// (the lock of a copy that is gone is taken over), and the holder listens on
// a local socket beside it. Both live in the user's runtime directory.
class CLocalInstanceChannel final : public IInstanceChannel {
 public:
  // `directory`: where the lock and the socket go; empty for the runtime
  // directory.
  explicit CLocalInstanceChannel(QString directory = {});
  ~CLocalInstanceChannel() override;
  CLocalInstanceChannel(const CLocalInstanceChannel&) = delete;
  CLocalInstanceChannel& operator=(const CLocalInstanceChannel&) = delete;

  ClaimResult Claim(const QString& name) override;
  bool Listen(Handler handler) override;
  bool Send(int message) override;
  void Release() override;

  // How long Send tries to reach a holder that may not listen yet, and how
  // long it waits for the answer.
  static constexpr int kConnectDeadlineMs = 3000;
  static constexpr int kAnswerTimeoutMs = 30000;

 private:
  QString LockPath() const;
  QString SocketName() const;
  void Serve();

  QString directory_;
  QString name_;
  std::unique_ptr<QLockFile> lock_;
  std::unique_ptr<QLocalServer> server_;
  Handler handler_;
};

}  // namespace kestrel
