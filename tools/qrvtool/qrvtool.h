// Entry point of qrvtool, callable from tests with their own streams.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kestrel::tool {

// Exit statuses: 0 success, 1 a file could not be read or written, 2 bad
// input (unknown command or option, a file that is not a message).
enum ExitStatus { kExitOk = 0, kExitIoError = 1, kExitBadInput = 2 };

int RunQrvtool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kestrel::tool
