#include "qrvtool.h"

#include "decode_command.h"
#include "encode_command.h"
#include "export_command.h"
#include "info_command.h"
#include "thumbnail_command.h"

namespace kestrel::tool {

namespace {

constexpr const char* kHelp =
    "qrvtool: inspect, decode, record and convert Kestrel message files (.qrv)\n"
    "\n"
    "  qrvtool info FILE [--json]\n"
    "      header fields, duration, record counts, video payload sizes and\n"
    "      whether the file is well formed\n"
    "  qrvtool decode FILE [--pcm OUT] [--bgr OUT] [--wav OUT.wav] [--png DIR]\n"
    "                      [--y4m OUT.y4m] [--md5]\n"
    "      decodes the sound (8000 Hz mono 16-bit) and every picture\n"
    "  qrvtool encode --audio IN [--video DIR|IN.y4m] [--fps 1-5] -o OUT.qrv\n"
    "      records a message from any sound file and a folder of pictures\n"
    "      (PNG, JPEG, BMP, in name order) or a Y4M video\n"
    "  qrvtool export FILE -o OUT.wav|OUT.y4m|OUT.mp4|OUT.webm\n"
    "      converts a message (MP4 and WebM need the ffmpeg program)\n"
    "  qrvtool thumbnail FILE OUT.png [SIZE]\n"
    "      the first picture (or the waveform) scaled to fit SIZE (default 128)\n"
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
  if (command == "encode") return RunEncode(rest, out, err);
  if (command == "export") return RunExport(rest, out, err);
  if (command == "thumbnail") return RunThumbnail(rest, out, err);
  err << "qrvtool: unknown command '" << command << "'\n" << kHelp;
  return kExitBadInput;
}

}  // namespace kestrel::tool
