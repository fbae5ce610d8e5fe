#include "reporter.h"

#include <unistd.h>

#include <algorithm>

namespace kestrel::tool {

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

Reporter::Reporter(std::ostream& out, std::ostream& err, bool progressWanted, std::chrono::steady_clock::duration delay)
    : out_(out), err_(err), progressWanted_(progressWanted), delay_(delay) {}

Reporter::~Reporter() { EndProgressLine(); }

std::ostream& Reporter::Out() {
  EndProgressLine();
  return out_;
}

int Reporter::Fail(int status, const std::string& line) {
  EndProgressLine();
  err_ << "qrvtool: " << line << "\n" << std::flush;
  return status;
}

void Reporter::StartProgress(std::string label) {
  EndProgressLine();
  label_ = std::move(label);
  started_ = true;
  lastPercent_ = -1;
  start_ = std::chrono::steady_clock::now();
}

void Reporter::Progress(double fraction) {
  if (!progressWanted_ || !started_ || fraction < 0) return;
  if (!lineOpen_ && std::chrono::steady_clock::now() - start_ < delay_) return;
  const int percent = std::clamp(static_cast<int>(fraction * 100.0), 0, 100);
  if (percent == lastPercent_) return;
  lineOpen_ = true;
  lastPercent_ = percent;
  err_ << "\r" << label_ << ": " << percent << "%" << std::flush;
}

void Reporter::CompleteProgress() {
  if (lineOpen_ && lastPercent_ != 100) err_ << "\r" << label_ << ": 100%";
  EndProgressLine();
  started_ = false;
}

void Reporter::EndProgressLine() {
  if (lineOpen_) err_ << "\n" << std::flush;
  lineOpen_ = false;
}

}  // namespace kestrel::tool
