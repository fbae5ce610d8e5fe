#include "png_folder_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "output_file.h"
#include "png_writer.h"
#include "qrvtool.h"

namespace kestrel::tool {

PngFolderOutput::~PngFolderOutput() { Abandon(); }

std::string PngFolderOutput::PathIn(const std::string& folder, int index) const {
  char name[32];
  NumberedPngName(index, name);
  return folder + "/" + name;
}

bool PngFolderOutput::Open(const std::string& folder, std::string* why) {
  folder_ = folder;
  auto fail = [&](int error) {
    if (why) *why = folder + ": " + std::strerror(error);
    Abandon();
    return false;
  };
  SignalsHeld held;
  if (::mkdir(folder.c_str(), 0777) == 0) {
    madeFolder_ = true;
    folderEntry_.Register(folder, TemporaryKind::Folder);
  } else if (errno != EEXIST) {
    return fail(errno);
  }
  std::string pattern = folder + "/.frames.XXXXXX";
  if (!::mkdtemp(pattern.data())) return fail(errno);
  temporary_ = pattern;
  if (!picturesEntry_.Register(temporary_, TemporaryKind::NumberedPngs)) return fail(EMFILE);
  return true;
}

bool PngFolderOutput::Write(const std::uint8_t* rgb, int width, int height, std::string* why) {
  const std::string path = PathIn(temporary_, count_ + 1);
  // Counted before it exists, so that an interrupted write is removed too.
  picturesEntry_.SetCount(++count_);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  std::FILE* stream = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
  bool ok = stream != nullptr;
  errno = 0;
  ok = ok && WritePng(stream, rgb, width, height) && std::fflush(stream) == 0 && ::fsync(fd) == 0;
  const int error = errno ? errno : EIO;
  if (stream) {
    if (std::fclose(stream) != 0) ok = false;
  } else if (fd >= 0) {
    ::close(fd);
  }
  if (!ok && why) *why = folder_ + ": " + std::strerror(error);
  return ok;
}

int PngFolderOutput::Commit(const std::vector<FileIdentity>& inputs, bool noClobber, std::string* why) {
  for (int i = 1; i <= count_; ++i) {
    const std::string target = PathIn(folder_, i);
    const FileIdentity id = IdentityOfPath(target);
    for (const FileIdentity& input : inputs)
      if (id == input) {
        if (why) *why = target + ": " + kIsTheInput;
        Abandon();
        return kExitBadInput;
      }
    if (noClobber && id.known) {
      if (why) *why = target + ": " + kExistsUnderNoClobber;
      Abandon();
      return kExitIoError;
    }
  }
  for (int i = 1; i <= count_; ++i) {
    if (RenameIntoPlace(PathIn(temporary_, i), PathIn(folder_, i), noClobber) != 0) {
      if (why) *why = PathIn(folder_, i) + ": " + std::strerror(errno);
      Abandon();
      return kExitIoError;
    }
  }
  ::rmdir(temporary_.c_str());
  picturesEntry_.Forget();
  folderEntry_.Forget();
  temporary_.clear();
  madeFolder_ = false;
  count_ = 0;
  return kExitOk;
}

void PngFolderOutput::Abandon() {
  if (!temporary_.empty()) {
    for (int i = count_; i >= 1; --i) ::unlink(PathIn(temporary_, i).c_str());
    ::rmdir(temporary_.c_str());
  }
  if (madeFolder_) ::rmdir(folder_.c_str());  // only if it is still empty
  picturesEntry_.Forget();
  folderEntry_.Forget();
  temporary_.clear();
  madeFolder_ = false;
  count_ = 0;
}

}  // namespace kestrel::tool
