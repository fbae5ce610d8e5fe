#pragma once

#include "directory_search.h"

#include <dirent.h>

namespace kestrel::stillbox {

// Directory search over the local file system. Names are read as bytes and
// handed on without loss (file_names.h), so that every file can be opened
// again by the name found.
class CLocalDirectorySearch : public IDirectorySearch {
 public:
  CLocalDirectorySearch() = default;
  ~CLocalDirectorySearch() override;
  CLocalDirectorySearch(const CLocalDirectorySearch&) = delete;
  CLocalDirectorySearch& operator=(const CLocalDirectorySearch&) = delete;

  bool Start(const QString& directory, const QString& pattern) override;
  bool Next(DirEntry& entry) override;
  void Finish() override;

  // Whether name matches a pattern of '*' (any run) and '?' (any one
  // character), letters compared without regard to case.
  static bool Matches(QStringView name, QStringView pattern);

 private:
  DIR* dir_ = nullptr;
  QString pattern_;
};

}  // namespace kestrel::stillbox
