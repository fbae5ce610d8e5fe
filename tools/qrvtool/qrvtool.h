// Entry point of qrvtool, callable from tests with their own streams.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kestrel::tool {

// Exit statuses: 0 success; 1 an input or output the system refused (missing,
// a folder, no permission, disk full: the system's reason is printed); 2 a
// usage error or a file that is not what the command reads (not a message,
// not a sound file, an unusable picture stream); 3 `decode --verify` found
// other digests than expected.
enum ExitStatus { kExitOk = 0, kExitIoError = 1, kExitBadInput = 2, kExitDigestsDiffer = 3 };

inline constexpr const char* kExitStatusHelp =
    "Exit status: 0 done; 1 a file could not be read or written (the system's\n"
    "reason is printed); 2 a usage error or a file that is not what the command\n"
    "reads; 3 decode --verify found other digests.\n";

int RunQrvtool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kestrel::tool
