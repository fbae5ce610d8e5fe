#pragma once

#include "directory_search.h"

#include <QDirIterator>

#include <memory>

// Directory search over the local file system.
class CLocalDirectorySearch : public IDirectorySearch {
 public:
  bool Start(const QString& directory, const QString& pattern) override;
  bool Next(DirEntry& entry) override;
  void Finish() override;

 private:
  std::unique_ptr<QDirIterator> m_iterator;
};
