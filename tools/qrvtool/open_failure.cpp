#include "open_failure.h"

#include <cstring>

#include "qrvtool.h"

namespace kestrel::tool {

int ReportOpenFailure(std::ostream& err, const std::string& path, const ScanOutcome& outcome) {
  if (outcome.open == OpenResult::CannotOpen) {
    err << "qrvtool: " << path << ": " << std::strerror(outcome.systemError) << "\n";
    return kExitIoError;
  }
  err << "qrvtool: " << path << ": " << Describe(outcome.open) << "\n";
  return kExitBadInput;
}

}  // namespace kestrel::tool
