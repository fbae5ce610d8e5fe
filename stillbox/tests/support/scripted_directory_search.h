#pragma once

#include "platform/local_directory_search.h"

#include <QString>

#include <functional>
#include <vector>

namespace kestrel::stillbox {

// Directory search double: finds what the real search finds, but hands the
// entries out in reverse name order, and calls a hook before each one.
class ScriptedDirectorySearch : public IDirectorySearch {
 public:
  bool Start(const QString& directory, const QString& pattern) override;
  bool Next(DirEntry& entry) override;
  void Finish() override { entries_.clear(); }

  std::function<void()> beforeEachNext;

 private:
  std::vector<DirEntry> entries_;
  std::size_t next_ = 0;
};

}  // namespace kestrel::stillbox
