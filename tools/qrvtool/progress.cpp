#include "progress.h"

#include <unistd.h>

namespace kestrel::tool {

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

Progress::Progress(std::ostream& err, std::string label, bool enabled)
    : err_(err), label_(std::move(label)), enabled_(enabled), start_(std::chrono::steady_clock::now()) {}

Progress::~Progress() {
  if (shown_) err_ << "\r" << label_ << ": 100%\n" << std::flush;
}

void Progress::Update(double fraction) {
  if (!enabled_) return;
  if (!shown_ && std::chrono::steady_clock::now() - start_ < std::chrono::seconds(1)) return;
  const int percent = static_cast<int>(fraction * 100.0);
  if (percent == lastPercent_) return;
  shown_ = true;
  lastPercent_ = percent;
  err_ << "\r" << label_ << ": " << percent << "%" << std::flush;
}

}  // namespace kestrel::tool
