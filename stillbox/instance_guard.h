#pragma once

class QWidget;

namespace kestrel {
class IInstanceChannel;
}  // namespace kestrel

namespace kestrel::stillbox {

// Keeps the browser to one running copy. The first copy claims the program's
// single-instance name and answers later copies; a later copy hands over to
// the running one and ends.
class CInstanceGuard {
 public:
  explicit CInstanceGuard(kestrel::IInstanceChannel& channel);
  ~CInstanceGuard();
  CInstanceGuard(const CInstanceGuard&) = delete;
  CInstanceGuard& operator=(const CInstanceGuard&) = delete;

  // True when this copy is the first and may run (also when the name cannot
  // be examined or served: the copy then runs unguarded); it then answers
  // later copies' message, and nothing else. False when another copy runs: it
  // has then been restored, raised, activated and, for a message other than
  // 0, sent message, and has handled it.
  bool Claim(int message);

  // What the running copy does for a later copy's request: the top-level
  // window titled like the browser's, if any, is restored, raised and
  // activated, and receives message (unless 0) before this returns.
  static void HandOver(int message);
  static QWidget* FindRunningWindow();

  bool HoldsName() const { return holdsName_; }

 private:
  kestrel::IInstanceChannel& channel_;
  bool holdsName_ = false;
};

}  // namespace kestrel::stillbox
