// Where a command's messages go: results on stdout, "qrvtool: ..." lines on
// stderr, and a progress line on a terminal that is always ended before
// anything else is printed.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

#include "qrvtool.h"

namespace kestrel::tool {

class Reporter {
 public:
  // Progress is shown only when `progressWanted` (stderr is a terminal and
  // no -q) and the work has taken longer than `delay`.
  Reporter(std::ostream& out, std::ostream& err, bool progressWanted,
           std::chrono::steady_clock::duration delay = std::chrono::seconds(1));
  ~Reporter();
  Reporter(const Reporter&) = delete;
  Reporter& operator=(const Reporter&) = delete;

  // Ends any progress line first.
  std::ostream& Out();
  // "qrvtool: LINE" on stderr; returns `status` for `return report.Fail(...)`.
  int Fail(int status, const std::string& line);
  // The same for a named file: "qrvtool: NAME: WHY".
  int Fail(int status, const std::string& name, const std::string& why) { return Fail(status, name + ": " + why); }

  void StartProgress(std::string label);
  void Progress(double fraction);  // a negative share (unknown) shows nothing
  // The work is done: "100%" (once) and the end of the line, if shown.
  void CompleteProgress();

 private:
  void EndProgressLine();

  std::ostream& out_;
  std::ostream& err_;
  bool progressWanted_;
  std::chrono::steady_clock::duration delay_;
  std::string label_;
  bool started_ = false, lineOpen_ = false;
  int lastPercent_ = -1;
  std::chrono::steady_clock::time_point start_;
};

// True when the process's stderr is a terminal.
bool StderrIsTerminal();

}  // namespace kestrel::tool
