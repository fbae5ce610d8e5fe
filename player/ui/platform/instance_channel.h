#pragma once

#include <functional>

#include <QString>

namespace kestrel {

// A per-user channel between copies of the player, named after its
// single-instance name. The first copy claims the name and listens; a later
// copy finds it taken and sends its request to the copy that holds it.
class IInstanceChannel {
 public:
  enum class ClaimResult {
    First,           // this copy holds the name until Release or its end
    AlreadyClaimed,  // a running copy holds it
    Failed,          // the name could not be examined
  };
  // Runs on the listening copy's event loop; the sender gets its answer only
  // after it has returned.
  using Handler = std::function<void(int message)>;

  virtual ~IInstanceChannel() = default;

  // A name left behind by a copy that crashed counts as free.
  virtual ClaimResult Claim(const QString& name) = 0;
  // After a First claim: serve the requests of later copies.
  virtual bool Listen(Handler handler) = 0;
  // After an AlreadyClaimed claim: hands `message` to the copy holding the
  // name and waits until it has been handled. False when none answered.
  virtual bool Send(int message) = 0;
  // Gives the name up; harmless when not held.
  virtual void Release() = 0;
};

}  // namespace kestrel
