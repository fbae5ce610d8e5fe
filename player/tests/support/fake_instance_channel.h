// Single-instance channels of copies living in one test process: the name
// is held by one copy at a time, and Send calls the holder's handler at once.
#pragma once

#include <vector>

#include "platform/instance_channel.h"

namespace kestrel::testing {

struct CFakeInstanceName {
  bool held = false;
  IInstanceChannel::Handler handler;
  std::vector<int> sent;
};

class CFakeInstanceChannel final : public IInstanceChannel {
 public:
  explicit CFakeInstanceChannel(CFakeInstanceName& name) : name_(name) {}
  ~CFakeInstanceChannel() override { Release(); }

  ClaimResult Claim(const QString&) override {
    if (mine_) return ClaimResult::First;
    if (name_.held) return ClaimResult::AlreadyClaimed;
    name_.held = mine_ = true;
    return ClaimResult::First;
  }
  bool Listen(Handler handler) override {
    if (!mine_) return false;
    name_.handler = std::move(handler);
    return true;
  }
  bool Send(int message) override {
    name_.sent.push_back(message);
    if (!name_.handler) return false;
    Handler handler = name_.handler;
    handler(message);
    return true;
  }
  void Release() override {
    if (!mine_) return;
    mine_ = false;
    name_.held = false;
    name_.handler = nullptr;
  }
  bool Holds() const { return mine_; }

 private:
  CFakeInstanceName& name_;
  bool mine_ = false;
};

}  // namespace kestrel::testing
