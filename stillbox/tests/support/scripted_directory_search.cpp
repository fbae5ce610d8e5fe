#include "scripted_directory_search.h"

#include <algorithm>

namespace kestrel::stillbox {

bool ScriptedDirectorySearch::Start(const QString& directory, const QString& pattern) {
  CLocalDirectorySearch real;
  entries_.clear();
  next_ = 0;
  if (!real.Start(directory, pattern)) return false;
  DirEntry entry;
  while (real.Next(entry)) entries_.push_back(entry);
  real.Finish();
  std::sort(entries_.begin(), entries_.end(), [](const DirEntry& a, const DirEntry& b) { return a.name > b.name; });
  return true;
}

bool ScriptedDirectorySearch::Next(DirEntry& entry) {
  if (beforeEachNext) beforeEachNext();
  if (next_ >= entries_.size()) return false;
  entry = entries_[next_++];
  return true;
}

}  // namespace kestrel::stillbox
