#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace kestrel::tool {

namespace {

// The name of a temporary beside `destination`: hidden, and short enough for
// the file system whatever the target's own length.
std::string TemporaryPattern(const std::string& destination) {
  const std::filesystem::path path(destination);
  std::filesystem::path dir = path.parent_path();
  if (dir.empty()) dir = ".";
  std::string name = path.filename().string();
  if (name.size() > 200) name = "qrvtool-output";
  return (dir / ("." + name + ".XXXXXX")).string();
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

int RenameIntoPlace(const std::string& from, const std::string& to, bool noClobber) {
  if (!noClobber) return std::rename(from.c_str(), to.c_str());
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  // A file system without the flag: link() never replaces either.
  if (::link(from.c_str(), to.c_str()) != 0) return -1;
  ::unlink(from.c_str());
  return 0;
}

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Open(const std::string& target, bool noClobber, std::string* why) {
  Abandon();
  target_ = target;
  destination_ = target;
  noClobber_ = noClobber;
  inPlace_ = false;
  error_ = 0;
  finished_ = false;
  auto fail = [&](int error) {
    if (why) *why = Describe(error);
    Abandon();
    return false;
  };
  int fd = -1;
  if (target == "-") {
    fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (fd < 0) return fail(errno);
  } else {
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return fail(EISDIR);
    if (exists && !S_ISREG(st.st_mode)) {
      // A device or a FIFO is written as it is: renaming over it would
      // replace the device, not write to it.
      fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
      if (fd < 0) return fail(errno);
    } else if (exists && st.st_size == 0) {
      // An empty file holds nothing to lose, and whoever made it may be
      // waiting to read it through the handle they hold.
      fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
      if (fd < 0) return fail(errno);
      inPlace_ = true;
    } else {
      if (exists) {
        if (char* resolved = ::realpath(target.c_str(), nullptr)) {
          destination_ = resolved;
          std::free(resolved);
        }
      }
      std::string pattern = TemporaryPattern(destination_);
      {
        SignalsHeld held;
        fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0) return fail(errno);
        if (!registration_.Register(pattern, TemporaryKind::File)) {
          ::close(fd);
          ::unlink(pattern.c_str());
          return fail(EMFILE);
        }
        temporary_ = pattern;
      }
      ::fchmod(fd, exists ? (st.st_mode & 07777) : NewFileMode());
    }
  }
  stream_ = ::fdopen(fd, "wb");
  if (!stream_) {
    const int error = errno;
    ::close(fd);
    return fail(error);
  }
  return true;
}

bool OutputFile::Write(const void* data, std::size_t size) {
  if (error_) return false;
  if (!stream_) {
    error_ = EBADF;
    return false;
  }
  errno = 0;
  if (size != 0 && std::fwrite(data, 1, size, stream_) != size) error_ = errno ? errno : EIO;
  return error_ == 0;
}

int OutputFile::Descriptor() {
  if (!stream_) return -1;
  errno = 0;
  if (std::fflush(stream_) != 0 && !error_) error_ = errno ? errno : EIO;
  return ::fileno(stream_);
}

void OutputFile::NoteFailure(int error) {
  if (!error_) error_ = error ? error : EIO;
}

bool OutputFile::Finish(std::string* why) {
  if (stream_) {
    errno = 0;
    if (!error_ && std::fflush(stream_) != 0) error_ = errno ? errno : EIO;
    if (!error_ && IsSeekableFile() && ::fsync(::fileno(stream_)) != 0) error_ = errno;
    std::FILE* stream = stream_;
    stream_ = nullptr;
    errno = 0;
    if (std::fclose(stream) != 0 && !error_) error_ = errno ? errno : EIO;
  } else if (!finished_) {
    NoteFailure(EBADF);
  }
  finished_ = true;
  if (!error_) return true;
  if (why) *why = Describe(error_);
  Abandon();
  return false;
}

bool OutputFile::Commit(std::string* why) {
  if (!Finish(why)) return false;
  if (IsTemporaryFile() && RenameIntoPlace(temporary_, destination_, noClobber_) != 0) {
    error_ = errno;
    if (why) *why = Describe(error_);
    Abandon();
    return false;
  }
  registration_.Forget();
  temporary_.clear();
  inPlace_ = false;
  return true;
}

void OutputFile::Abandon() {
  if (stream_) std::fclose(stream_);
  stream_ = nullptr;
  // An empty file written in place goes back to empty, never left half made.
  if (inPlace_ && ::truncate(target_.c_str(), 0) != 0) {
    // Nothing more can be done for it; the command reports its own failure.
  }
  inPlace_ = false;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  registration_.Forget();
}

std::string OutputFile::Describe(int error) const {
  const std::string name = target_ == "-" ? "standard output" : target_;
  if (error == EEXIST && noClobber_) return name + ": " + kExistsUnderNoClobber;
  if (error == EMFILE && !temporary_.empty()) return name + ": too many temporary files";
  return name + ": " + std::strerror(error);
}

int CheckOutputs(const std::vector<OutputTarget>& targets, const std::vector<FileIdentity>& inputs, bool noClobber,
                 Reporter& report) {
  struct Seen {
    FileIdentity identity;
    std::string canonical;
  };
  std::vector<Seen> seen;
  bool standardOutput = false;
  for (const OutputTarget& target : targets) {
    if (target.path == "-") {
      if (standardOutput) return report.Fail(kExitBadInput, "only one output may be '-' (standard output)");
      standardOutput = true;
      if (isatty(STDOUT_FILENO))
        return report.Fail(kExitBadInput, "standard output is a terminal; redirect it or name a file");
      const FileIdentity id = IdentityOfDescriptor(STDOUT_FILENO);
      for (const FileIdentity& input : inputs)
        if (id == input) return report.Fail(kExitBadInput, "standard output", kIsTheInput);
      continue;
    }
    const FileIdentity id = IdentityOfPath(target.path);
    for (const FileIdentity& input : inputs)
      if (id == input) return report.Fail(kExitBadInput, target.path, kIsTheInput);
    std::error_code ec;
    const std::string canonical = std::filesystem::weakly_canonical(target.path, ec).string();
    for (const Seen& other : seen)
      if (id == other.identity || (!ec && canonical == other.canonical))
        return report.Fail(kExitBadInput, target.path, "named as two outputs");
    seen.push_back({id, ec ? std::string() : canonical});
    struct stat st {};
    if (::stat(target.path.c_str(), &st) != 0) continue;
    if (target.folder && !S_ISDIR(st.st_mode)) return report.Fail(kExitIoError, target.path, std::strerror(ENOTDIR));
    if (!target.folder && S_ISDIR(st.st_mode)) return report.Fail(kExitIoError, target.path, std::strerror(EISDIR));
    if (noClobber && !target.folder && S_ISREG(st.st_mode))
      return report.Fail(kExitIoError, target.path, kExistsUnderNoClobber);
  }
  return kExitOk;
}

}  // namespace kestrel::tool
