// Single-instance channels of copies living in one test process: the name is
// held by one copy at a time, and Send calls the holder's handler at once
// when the holder listens for that request.
#pragma once

#include <vector>

#include "instance_channel.h"

namespace kestrel::testing {

struct CFakeInstanceName {
  bool held = false;
  bool unreadable = false;  // every claim fails
  QString claimedAs;
  int request = 0;  // what the holder listens for
  IInstanceChannel::Handler handler;
  std::vector<int> sent;
  int releases = 0;
};

class CFakeInstanceChannel final : public IInstanceChannel {
 public:
  explicit CFakeInstanceChannel(CFakeInstanceName& name) : name_(name) {}
  ~CFakeInstanceChannel() override { Release(); }

  ClaimResult Claim(const QString& name) override {
    name_.claimedAs = name;
    if (name_.unreadable) return ClaimResult::Failed;
    if (mine_) return ClaimResult::First;
    if (name_.held) return ClaimResult::AlreadyClaimed;
    name_.held = mine_ = true;
    return ClaimResult::First;
  }
  bool Listen(int request, Handler handler) override {
    if (!mine_) return false;
    name_.request = request;
    name_.handler = std::move(handler);
    return true;
  }
  bool Send(int request) override {
    name_.sent.push_back(request);
    if (!name_.handler || request != name_.request) return false;
    Handler handler = name_.handler;
    handler();
    return true;
  }
  void Release() override {
    if (!mine_) return;
    mine_ = false;
    name_.held = false;
    name_.handler = nullptr;
    ++name_.releases;
  }
  bool Holds() const { return mine_; }

 private:
  CFakeInstanceName& name_;
  bool mine_ = false;
};

}  // namespace kestrel::testing
