#include "local_directory_search.h"

#include "file_names.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace kestrel::stillbox {

CLocalDirectorySearch::~CLocalDirectorySearch() { Finish(); }

bool CLocalDirectorySearch::Start(const QString& directory, const QString& pattern) {
  Finish();
  dir_ = ::opendir(EncodeFileName(directory).constData());
  pattern_ = pattern;
  return dir_ != nullptr;
}

bool CLocalDirectorySearch::Next(DirEntry& entry) {
  if (!dir_) return false;
  while (const dirent* found = ::readdir(dir_)) {
    const QByteArrayView bytes(found->d_name);
    if (bytes == "." || bytes == "..") continue;
    entry.name = DecodeFileName(bytes);
    // "*.bmp" also matches "*.BMP". Hidden and system entries are reported
    // so that the caller's own rules decide about them.
    if (!Matches(entry.name, pattern_)) continue;
    entry.hidden = entry.name.startsWith(QLatin1Char('.'));
    struct stat info {};
    // Links are followed; a dangling one is neither a file nor a directory.
    const bool known = ::fstatat(::dirfd(dir_), found->d_name, &info, 0) == 0;
    entry.directory = known && S_ISDIR(info.st_mode);
    entry.regularFile = known && S_ISREG(info.st_mode);
    return true;
  }
  return false;
}

void CLocalDirectorySearch::Finish() {
  if (dir_) ::closedir(dir_);
  dir_ = nullptr;
}

bool CLocalDirectorySearch::Matches(QStringView name, QStringView pattern) {
  // Greedy matching with one point to come back to: the last '*' seen.
  qsizetype n = 0;
  qsizetype p = 0;
  qsizetype starAt = -1;
  qsizetype resumeAt = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
      starAt = p++;
      resumeAt = n;
    } else if (p < pattern.size() &&
               (pattern[p] == QLatin1Char('?') || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
      ++p;
      ++n;
    } else if (starAt >= 0) {
      p = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == QLatin1Char('*')) ++p;
  return p == pattern.size();
}

}  // namespace kestrel::stillbox
