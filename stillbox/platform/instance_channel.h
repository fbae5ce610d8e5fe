#pragma once

#include <QString>

#include <functional>

// A per-user channel between copies of a program, named after the program's
// single-instance name. The first copy claims the name and listens; a later
// copy finds the name taken and sends its request to the first.
class IInstanceChannel {
 public:
  enum class ClaimResult {
    First,          // this copy holds the name until Release or its end
    AlreadyClaimed, // another running copy holds it
    Failed,         // the name could not be examined
  };
  using Handler = std::function<void(int message)>;

  virtual ~IInstanceChannel() = default;

  // A name left by a copy that crashed counts as free.
  virtual ClaimResult Claim(const QString& name) = 0;
  // After a First claim: accept requests. The handler runs on the thread's
  // event loop; the sender gets its answer only after the handler returned.
  virtual bool Listen(Handler handler) = 0;
  // After an AlreadyClaimed claim: give message to the running copy and wait
  // until it has been handled. False when no copy answered in time.
  virtual bool Send(int message) = 0;
  // Gives the name up.
  virtual void Release() = 0;
};
