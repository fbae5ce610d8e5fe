// Progress on stderr for long runs: shown only on a terminal, and only once
// the work has taken more than a second.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

namespace kestrel::tool {

class Progress {
 public:
  Progress(std::ostream& err, std::string label, bool enabled);
  ~Progress();
  void Update(double fraction);

 private:
  std::ostream& err_;
  std::string label_;
  bool enabled_;
  bool shown_ = false;
  int lastPercent_ = -1;
  std::chrono::steady_clock::time_point start_;
};

// True when the process's stderr is a terminal.
bool StderrIsTerminal();

}  // namespace kestrel::tool
