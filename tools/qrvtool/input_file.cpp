#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kestrel::tool {

namespace {

FileIdentity FromStat(const struct stat& st) {
  FileIdentity id;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.known = true;
  return id;
}

// Why a file of this type is not read as an input; nullptr when it is.
const char* Refusal(const struct stat& st, int fd, bool folderAllowed) {
  if (S_ISDIR(st.st_mode)) return folderAllowed ? nullptr : std::strerror(EISDIR);
  if (S_ISREG(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) return nullptr;
  if (S_ISCHR(st.st_mode)) return isatty(fd) ? "is a terminal" : "is a character device, not a file";
  if (S_ISBLK(st.st_mode)) return "is a block device, not a file";
  return "is not a file";
}

}  // namespace

FileIdentity IdentityOfPath(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? FromStat(st) : FileIdentity{};
}

FileIdentity IdentityOfDescriptor(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 ? FromStat(st) : FileIdentity{};
}

InputFile::~InputFile() { Close(); }

InputFile::InputFile(InputFile&& other) noexcept { *this = std::move(other); }

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    name_ = std::move(other.name_);
    folder_ = other.folder_;
    size_ = other.size_;
    identity_ = other.identity_;
    other.fd_ = -1;
  }
  return *this;
}

void InputFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool InputFile::Open(const std::string& path, std::string* why, bool folderAllowed) {
  Close();
  const bool standardInput = path == "-";
  name_ = standardInput ? "standard input" : path;
  // Standard input is duplicated so that closing the input never closes fd 0.
  fd_ = standardInput ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3) : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    if (why) *why = std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    if (why) *why = std::strerror(errno);
    Close();
    return false;
  }
  if (const char* refusal = Refusal(st, fd_, folderAllowed)) {
    if (why) *why = refusal;
    Close();
    return false;
  }
  folder_ = S_ISDIR(st.st_mode);
  size_ = S_ISREG(st.st_mode) ? static_cast<long long>(st.st_size) : -1;
  identity_ = FromStat(st);
  return true;
}

std::FILE* InputFile::TakeStream() {
  if (fd_ < 0) return nullptr;
  std::FILE* stream = ::fdopen(fd_, "rb");
  if (stream) fd_ = -1;
  return stream;
}

int InputFile::TakeDescriptor() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

}  // namespace kestrel::tool
