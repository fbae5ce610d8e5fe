#pragma once

#include <functional>

#include <QString>

namespace kestrel {

// A per-user channel between copies of one program, named after its
// single-instance name. The first copy claims the name and answers the
// program's one request; a later copy finds the name taken and hands that
// request to the copy holding it. What the request does is each program's
// own business.
class IInstanceChannel {
 public:
  enum class ClaimResult {
    First,           // this copy holds the name until Release or its end
    AlreadyClaimed,  // a running copy holds it
    Failed,          // the name could not be examined
  };
  // Runs on the listening copy's event loop; the sender gets its answer only
  // after it has returned.
  using Handler = std::function<void()>;

  virtual ~IInstanceChannel() = default;

  // A name left behind by a copy that crashed counts as free.
  virtual ClaimResult Claim(const QString& name) = 0;
  // After a First claim: runs `handler` for every later copy that sends
  // `request` (a window message number); anything else is ignored. False when
  // later copies cannot be served; the name is then given up.
  virtual bool Listen(int request, Handler handler) = 0;
  // After an AlreadyClaimed claim: hands `request` to the copy holding the
  // name and waits until it has been handled. False when none answered.
  virtual bool Send(int request) = 0;
  // Gives the name up; harmless when not held.
  virtual void Release() = 0;
};

}  // namespace kestrel
