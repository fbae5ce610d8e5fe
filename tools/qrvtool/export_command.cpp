#include "export_command.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "command_line.h"
#include "decode_command.h"
#include "output_file.h"
#include "temporary_files.h"

extern char** environ;

namespace kestrel::tool {

namespace {

const CommandSpec kExport = {"export",
                             "FILE -o OUT.wav|OUT.y4m|OUT.mp4|OUT.webm [OPTION]...",
                             "Converts a message (FILE, or '-' for standard input) to the type OUT's\n"
                             "extension names: WAV and Y4M are written by qrvtool itself, MP4 (H.264 and\n"
                             "AAC) and WebM (VP9 and Opus) by the ffmpeg program. OUT is made beside its\n"
                             "target under a temporary name and put in place when it is complete.",
                             {{"output", 'o', "OUT", "the file to write"},
                              ThreadsOption("decode pictures on N threads, one decoder each (default: one per core)")},
                             1,
                             1,
                             true,
                             nullptr};

std::string LowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

bool FindOnPath(const std::string& program, std::string& found) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) {
      found = candidate;
      return true;
    }
  }
  return false;
}

// Runs a program and waits for it; its exit status, or -1 when it could not start.
int RunProgram(const std::vector<std::string>& argv) {
  std::vector<char*> raw;
  for (const auto& a : argv) raw.push_back(const_cast<char*>(a.c_str()));
  raw.push_back(nullptr);
  // The program starts with no signal held back, whatever qrvtool holds.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  int spawned = 0;
  {
    SignalsHeld held;
    spawned = posix_spawn(&pid, raw[0], nullptr, &attributes, raw.data(), environ);
    if (spawned == 0) SetChildToStop(pid);
  }
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  SetChildToStop(0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A private folder for the intermediate files, removed with them at the end
// and by the signals that end qrvtool.
class WorkFolder {
 public:
  bool Make() {
    SignalsHeld held;
    std::string pattern = (std::filesystem::temp_directory_path() / "qrvtool-export.XXXXXX").string();
    if (!mkdtemp(pattern.data())) return false;
    path_ = pattern;
    return entry_.Register(path_, TemporaryKind::Folder);
  }
  ~WorkFolder() {
    for (const auto& file : files_) unlink(file.c_str());
    if (!path_.empty()) rmdir(path_.c_str());
  }
  const std::string& Path() const { return path_; }
  // A file in the folder, removed with it.
  std::string File(const std::string& name) {
    files_.push_back(path_ + "/" + name);
    entries_.emplace_back().Register(files_.back(), TemporaryKind::File);
    return files_.back();
  }

 private:
  std::string path_;
  TemporaryEntry entry_;
  std::vector<std::string> files_;
  std::vector<TemporaryEntry> entries_;
};

}  // namespace

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  if (auto status = ParseCommandLine(kExport, args, parsed, out, err)) return *status;
  const auto target = parsed.Value("output");
  if (!target) return UsageError(kExport, err, "-o is missing");
  unsigned threads = 1;
  if (auto status = ThreadsValue(kExport, parsed, err, threads)) return *status;
  const std::string ext = LowerExtension(*target);
  if (ext != ".wav" && ext != ".y4m" && ext != ".mp4" && ext != ".webm")
    return UsageError(kExport, err, *target + ": unknown output type (use .wav, .y4m, .mp4 or .webm)");

  Reporter report(out, err, StderrIsTerminal() && !parsed.quiet);
  MessageInput message;
  if (const int status = message.Open(parsed.operands[0], report); status != kExitOk) return status;
  const bool hasPictures = message.file.FrameRate() > 0;
  DecodeRequest request;
  request.noClobber = parsed.noClobber;
  request.threads = threads;
  if (ext == ".wav") {
    request.wav = *target;
    return DecodeMessage(message, request, report);
  }
  if (ext == ".y4m") {
    if (!hasPictures) return report.Fail(kExitBadInput, message.name, "a sound-only message has no pictures to export");
    request.y4m = *target;
    return DecodeMessage(message, request, report);
  }
  std::string ffmpeg;
  if (!FindOnPath("ffmpeg", ffmpeg))
    return report.Fail(kExitIoError,
                       "exporting to " + ext + " needs the ffmpeg program; install it (apt-get install ffmpeg)");
  if (const int status = CheckOutputs({{*target, false}}, {message.identity}, parsed.noClobber, report);
      status != kExitOk)
    return status;
  WorkFolder work;
  if (!work.Make())
    return report.Fail(kExitIoError, std::string("cannot make a temporary folder: ") + std::strerror(errno));
  request.noClobber = false;
  request.wav = work.File("sound.wav");
  if (hasPictures) request.y4m = work.File("pictures.y4m");
  if (const int status = DecodeMessage(message, request, report); status != kExitOk) return status;

  // The result is made beside its target and renamed over it when ffmpeg has
  // finished: a failure (a full disk) leaves the old file as it was.
  OutputFile result;
  std::string why;
  if (!result.Open(*target, parsed.noClobber, &why)) return report.Fail(kExitIoError, why);
  // Both streams start at zero: picture k at k / rate seconds, as the player
  // shows it. -xerror: without it ffmpeg ends with status 0 even when it
  // could not write the end of the file (a full disk).
  std::vector<std::string> argv = {ffmpeg, "-nostdin", "-loglevel", "error", "-xerror", "-y"};
  if (hasPictures) argv.insert(argv.end(), {"-i", *request.y4m});
  argv.insert(argv.end(), {"-i", *request.wav});
  if (ext == ".mp4") {
    if (hasPictures) argv.insert(argv.end(), {"-c:v", "libx264", "-pix_fmt", "yuv420p"});
    argv.insert(argv.end(), {"-c:a", "aac", "-b:a", "64k", "-movflags", "+faststart", "-f", "mp4"});
  } else {
    if (hasPictures) argv.insert(argv.end(), {"-c:v", "libvpx-vp9", "-b:v", "0", "-crf", "32"});
    argv.insert(argv.end(), {"-c:a", "libopus", "-b:a", "32k", "-f", "webm"});
  }
  argv.push_back(result.WorkingPath());
  if (const int status = RunProgram(argv); status != 0)
    return report.Fail(kExitIoError,
                       "ffmpeg failed (" +
                           (status < 0 ? std::string("could not run") : "exit status " + std::to_string(status)) + ")");
  if (!result.Commit(&why)) return report.Fail(kExitIoError, why);
  if (!parsed.quiet) report.Out() << *target << "\n";
  return kExitOk;
}

}  // namespace kestrel::tool
