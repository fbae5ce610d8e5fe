#include "qrvtool.h"

#include "decode_command.h"
#include "info_command.h"

namespace kestrel::tool {

namespace {

constexpr const char* kHelp =
    "qrvtool: inspect and decode Kestrel message files (.qrv)\n"
    "\n"
    "  qrvtool info FILE [--json]\n"
    "      header fields, duration, record counts, video payload sizes and\n"
    "      whether the file is well formed\n"
    "  qrvtool decode FILE [--pcm OUT] [--bgr OUT] [--wav OUT.wav] [--png DIR]\n"
    "                      [--y4m OUT.y4m] [--md5]\n"
    "      decodes the sound (8000 Hz mono 16-bit) and every picture\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 bad input.\n";

}  // namespace

int RunQrvtool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kHelp;
    return kExitBadInput;
  }
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h" || command == "help") {
    out << kHelp;
    return kExitOk;
  }
  if (command == "info") return RunInfo(rest, out, err);
  if (command == "decode") return RunDecode(rest, out, err);
  err << "qrvtool: unknown command '" << command << "'\n" << kHelp;
  return kExitBadInput;
}

}  // namespace kestrel::tool
