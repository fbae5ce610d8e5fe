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
#include "message_file.h"
#include "open_failure.h"

extern char** environ;

namespace kestrel::tool {

namespace {

constexpr const char* kUsage = "usage: qrvtool export FILE -o OUT.wav|OUT.y4m|OUT.mp4|OUT.webm";

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
  pid_t pid = 0;
  if (posix_spawn(&pid, raw[0], nullptr, nullptr, raw.data(), environ) != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct TemporaryDirectory {
  std::string path;
  TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qrvtool-export.XXXXXX").string();
    if (mkdtemp(pattern.data())) path = pattern;
  }
  ~TemporaryDirectory() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
};

}  // namespace

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"-o"}, {});
  const auto target = parsed.Value("-o");
  if (!parsed.error.empty() || parsed.positional.size() != 1 || !target) {
    err << kUsage << "\n";
    return kExitBadInput;
  }
  const std::string& message = parsed.positional[0];
  const std::string ext = LowerExtension(*target);

  CMessageFile probe;
  ScanOutcome header;
  header.open = probe.Open(message.c_str());
  header.systemError = probe.SystemError();
  if (header.open != OpenResult::Ok) return ReportOpenFailure(err, message, header);
  const bool hasPictures = probe.FrameRate() > 0;
  probe.Close();

  std::ostringstream quiet;
  if (ext == ".wav") return RunDecode({message, "--wav", *target}, quiet, err);
  if (ext == ".y4m") {
    if (!hasPictures) {
      err << "qrvtool: " << message << ": a sound-only message has no pictures to export\n";
      return kExitBadInput;
    }
    return RunDecode({message, "--y4m", *target}, quiet, err);
  }
  if (ext != ".mp4" && ext != ".webm") {
    err << "qrvtool: " << *target << ": unknown output type (use .wav, .y4m, .mp4 or .webm)\n";
    return kExitBadInput;
  }
  std::string ffmpeg;
  if (!FindOnPath("ffmpeg", ffmpeg)) {
    err << "qrvtool: exporting to " << ext << " needs the ffmpeg program; install it (apt-get install ffmpeg)\n";
    return kExitIoError;
  }
  TemporaryDirectory work;
  if (work.path.empty()) {
    err << "qrvtool: cannot make a temporary folder: " << std::strerror(errno) << "\n";
    return kExitIoError;
  }
  const std::string wav = work.path + "/sound.wav", y4m = work.path + "/pictures.y4m";
  std::vector<std::string> decode = {message, "--wav", wav};
  if (hasPictures) decode.insert(decode.end(), {"--y4m", y4m});
  if (const int status = RunDecode(decode, quiet, err); status != kExitOk) return status;

  // Both streams start at zero: picture k at k / rate seconds, as the player shows it.
  const std::string partial = work.path + "/out" + ext;
  std::vector<std::string> argv = {ffmpeg, "-nostdin", "-loglevel", "error", "-y"};
  if (hasPictures) argv.insert(argv.end(), {"-i", y4m});
  argv.insert(argv.end(), {"-i", wav});
  if (ext == ".mp4") {
    if (hasPictures) argv.insert(argv.end(), {"-c:v", "libx264", "-pix_fmt", "yuv420p"});
    argv.insert(argv.end(), {"-c:a", "aac", "-b:a", "64k", "-movflags", "+faststart"});
  } else {
    if (hasPictures) argv.insert(argv.end(), {"-c:v", "libvpx-vp9", "-b:v", "0", "-crf", "32"});
    argv.insert(argv.end(), {"-c:a", "libopus", "-b:a", "32k"});
  }
  argv.push_back(partial);
  if (const int status = RunProgram(argv); status != 0) {
    err << "qrvtool: ffmpeg failed (" << (status < 0 ? "could not run" : "exit status " + std::to_string(status))
        << ")\n";
    return kExitIoError;
  }
  std::error_code ec;
  std::filesystem::rename(partial, *target, ec);
  if (ec) {
    // Another file system: copy, then the temporary folder goes away.
    std::filesystem::copy_file(partial, *target, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
      err << "qrvtool: " << *target << ": " << ec.message() << "\n";
      return kExitIoError;
    }
  }
  out << *target << "\n";
  return kExitOk;
}

}  // namespace kestrel::tool
