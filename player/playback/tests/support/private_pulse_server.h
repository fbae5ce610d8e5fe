// A PulseAudio server of a test's own, in a runtime folder of its own, with
// one 8000 Hz mono null sink: the test may kill it, stop it (SIGSTOP) and
// start it again without disturbing the server other tests play on.
#pragma once

#include <sys/types.h>

#include <string>

namespace kestrel::testing {

class CPrivatePulseServer {
 public:
  static constexpr const char* kSinkName = "kestrel_private";

  CPrivatePulseServer();
  // Kills the server if it runs and removes its folder.
  ~CPrivatePulseServer();
  CPrivatePulseServer(const CPrivatePulseServer&) = delete;
  CPrivatePulseServer& operator=(const CPrivatePulseServer&) = delete;

  // Starts it (again) at the same address and waits until its sink can be
  // recorded; false when it did not come up within ten seconds.
  bool Start();
  void Kill();    // SIGKILL, and reaped
  void Freeze();  // SIGSTOP: the server holds every connection, answering nothing
  void Thaw();    // SIGCONT
  bool Running() const { return pid_ > 0; }

  // For PULSE_SERVER or a client's server argument.
  const std::string& Address() const { return address_; }
  static std::string Monitor() { return std::string(kSinkName) + ".monitor"; }

 private:
  bool Answers() const;

  std::string folder_;
  std::string address_;
  pid_t pid_ = -1;
};

}  // namespace kestrel::testing
