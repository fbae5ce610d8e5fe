// Output files that never destroy anything: each is written under a
// temporary name beside its target and renamed over it only when complete;
// "-" is standard output.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "input_file.h"
#include "reporter.h"
#include "temporary_files.h"

namespace kestrel::tool {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // an uncommitted temporary is removed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // "-" writes to standard output. A new or regular target is written as a
  // hidden ".NAME.XXXXXX" beside it (beside the file a symbolic link points
  // to) and renamed over it by Commit, keeping an existing file's
  // permissions. An existing empty file is written in place: a thumbnail
  // host makes the file it passes and reads it through its own open handle,
  // which a rename would leave on the empty file; if the write fails it is
  // made empty again. Other existing targets (a device, a FIFO) are written
  // directly. False with "TARGET: reason".
  bool Open(const std::string& target, bool noClobber, std::string* why);

  // Writes through the stdio stream; false from the first failure on.
  bool Write(const void* data, std::size_t size);
  std::FILE* Stream() const { return stream_; }
  // Flushes the stream and hands out its descriptor, for writers of their own.
  int Descriptor();
  // True while writing a temporary file (seekable, starting at offset 0).
  bool IsTemporaryFile() const { return !temporary_.empty(); }
  // True while writing a regular file from offset 0 (a temporary, or an
  // empty file written in place), which a writer may seek back into.
  bool IsSeekableFile() const { return IsTemporaryFile() || inPlace_; }
  // Where the bytes go now: the temporary, for a program that writes there.
  const std::string& WorkingPath() const { return temporary_.empty() ? target_ : temporary_; }
  const std::string& Target() const { return target_; }
  // A writer that does not use Write records its failure (an errno value).
  void NoteFailure(int error);

  // Flushes, syncs and closes; on failure removes the temporary and says
  // why ("TARGET: reason"). Commit does it too, when it was not done.
  bool Finish(std::string* why);
  // Renames a finished temporary into place.
  bool Commit(std::string* why);
  void Abandon();

 private:
  std::string Describe(int error) const;

  std::FILE* stream_ = nullptr;
  std::string target_, destination_, temporary_;
  TemporaryEntry registration_;
  bool noClobber_ = false;
  bool inPlace_ = false;  // an existing empty file, written directly
  int error_ = 0;
  bool finished_ = false;
};

// One target of a command: a file, or a folder that pictures go into.
struct OutputTarget {
  std::string path;
  bool folder = false;
};

// Checks the outputs of one command before anything is written: none may be
// one of the inputs (the same file under any name), none may be named twice,
// only one may be "-" and it may not be a terminal, a file target may not be
// a folder (nor a folder target a file), and with -n none may exist.
// Returns 0, or prints one line and returns 2 (usage) or 1 (what exists).
int CheckOutputs(const std::vector<OutputTarget>& targets, const std::vector<FileIdentity>& inputs, bool noClobber,
                 Reporter& report);

// rename(), or with `noClobber` one that fails with EEXIST instead of
// replacing a file. 0, or -1 with errno.
int RenameIntoPlace(const std::string& from, const std::string& to, bool noClobber);

// "the input" refusal used wherever an output turns out to be an input.
inline constexpr const char* kIsTheInput = "is an input of this command; refusing to overwrite it";
inline constexpr const char* kExistsUnderNoClobber = "already exists; not overwritten (-n)";

}  // namespace kestrel::tool
