// An input named on the command line, opened once and read in one pass, so
// that pipes, FIFOs and process substitution work like files. "-" is
// standard input.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>

namespace kestrel::tool {

// Which file a descriptor or a path reaches, whatever it was called.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  bool known = false;
  bool operator==(const FileIdentity& other) const {
    return known && other.known && device == other.device && inode == other.inode;
  }
};

FileIdentity IdentityOfPath(const std::string& path);  // unknown when it does not exist
FileIdentity IdentityOfDescriptor(int fd);

class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens for reading. Regular files, pipes, FIFOs and sockets are read;
  // a folder only when `folderAllowed`. Anything else (another folder, a
  // device, a terminal) is refused and named for what it is. False with the
  // reason, which is the system's own text where there is one.
  bool Open(const std::string& path, std::string* why, bool folderAllowed = false);

  // "standard input" for "-", else the path as given.
  const std::string& Name() const { return name_; }
  bool IsFolder() const { return folder_; }
  // The size of a regular file, -1 for a stream.
  long long Size() const { return size_; }
  FileIdentity Identity() const { return identity_; }
  int Descriptor() const { return fd_; }
  // Hands the descriptor to a stdio stream the caller owns and closes.
  std::FILE* TakeStream();
  // Hands the descriptor over; the caller closes it.
  int TakeDescriptor();

 private:
  void Close();

  int fd_ = -1;
  std::string name_;
  bool folder_ = false;
  long long size_ = -1;
  FileIdentity identity_;
};

}  // namespace kestrel::tool
