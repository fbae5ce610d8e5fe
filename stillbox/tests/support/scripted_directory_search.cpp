#include "scripted_directory_search.h"

#include <algorithm>

bool ScriptedDirectorySearch::Start(const QString& directory, const QString& pattern) {
  CLocalDirectorySearch real;
  m_entries.clear();
  m_next = 0;
  if (!real.Start(directory, pattern)) return false;
  DirEntry entry;
  while (real.Next(entry)) m_entries.push_back(entry);
  real.Finish();
  std::sort(m_entries.begin(), m_entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.name > b.name; });
  return true;
}

bool ScriptedDirectorySearch::Next(DirEntry& entry) {
  if (beforeEachNext) beforeEachNext();
  if (m_next >= m_entries.size()) return false;
  entry = m_entries[m_next++];
  return true;
}
