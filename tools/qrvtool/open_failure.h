// The one-line report of a message file that could not be opened.
#pragma once

#include <ostream>
#include <string>

#include "message_scan.h"

namespace kestrel::tool {

// Prints "qrvtool: PATH: reason" and returns the exit status: 1 when the
// system could not read the file (its own error text), 2 when the file is not
// a message (bad magic, frame rate above 5, header cut short).
int ReportOpenFailure(std::ostream& err, const std::string& path, const ScanOutcome& outcome);

}  // namespace kestrel::tool
