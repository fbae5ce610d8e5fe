#include "qrvtool.h"

#include "command_line.h"
#include "decode_command.h"
#include "encode_command.h"
#include "export_command.h"
#include "info_command.h"
#include "thumbnail_command.h"

namespace kestrel::tool {

namespace {

constexpr const char* kHelp =
    "Usage: qrvtool COMMAND [OPTION]... [FILE]...\n"
    "Inspects, decodes, records and converts Kestrel message files (.qrv).\n"
    "\n"
    "Commands:\n"
    "  info FILE [--json]            header fields, duration, record counts, payload\n"
    "                                sizes and whether the file is well formed\n"
    "  decode FILE [--pcm=OUT] [--bgr=OUT] [--wav=OUT] [--png=DIR] [--y4m=OUT]\n"
    "              [--md5] [--verify=DIGESTS] [--threads=N]\n"
    "                                the sound (8000 Hz mono 16-bit) and every picture\n"
    "  encode --audio=IN [--video=DIR|IN.y4m] [--fps=1-5] -o OUT.qrv [--threads=N]\n"
    "                                records a message from a sound file and pictures\n"
    "  export FILE -o OUT.wav|OUT.y4m|OUT.mp4|OUT.webm [--threads=N]\n"
    "                                converts a message (MP4 and WebM need ffmpeg)\n"
    "  thumbnail FILE OUT.png [SIZE] the first picture (or the waveform), scaled\n"
    "\n"
    "'qrvtool COMMAND --help' tells more of each. FILE may be '-' for standard\n"
    "input; outputs are written beside their targets under temporary names and\n"
    "put in place when complete; -n never overwrites, -q hides progress;\n"
    "--threads=N works on N pictures at once (default: one per core).\n"
    "\n"
    "  -h, --help     show this help and end\n"
    "      --version  show the version and end\n"
    "\n";

using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

Command Find(const std::string& name) {
  if (name == "info") return RunInfo;
  if (name == "decode") return RunDecode;
  if (name == "encode") return RunEncode;
  if (name == "export") return RunExport;
  if (name == "thumbnail") return RunThumbnail;
  return nullptr;
}

int Usage(std::ostream& err, const std::string& why) {
  err << "qrvtool: " << why << "\nTry 'qrvtool --help'.\n";
  return kExitBadInput;
}

}  // namespace

int RunQrvtool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err, "no command given");
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || (first == "help" && args.size() == 1)) {
    out << kHelp << kExitStatusHelp;
    return kExitOk;
  }
  if (first == "--version") {
    out << VersionLine() << "\n";
    return kExitOk;
  }
  // "qrvtool help COMMAND" is "qrvtool COMMAND --help".
  if (first == "help") {
    if (Command command = Find(args[1])) return command({"--help"}, out, err);
    return Usage(err, "unknown command '" + args[1] + "'");
  }
  if (Command command = Find(first)) return command(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
  if (first.size() > 1 && first[0] == '-') return Usage(err, "unknown option '" + first + "'");
  return Usage(err, "unknown command '" + first + "'");
}

}  // namespace kestrel::tool
