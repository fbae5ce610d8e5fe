// String tables: texts by resource id, looked up the same way in both
// programs.
#pragma once

#include <span>

#include <QString>

namespace kestrel {

struct StringEntry {
  int id;
  const char* text;
};

// The entry's text, or nullptr for an id the table lacks.
inline const char* FindString(std::span<const StringEntry> table, int id) {
  for (const StringEntry& entry : table) {
    if (entry.id == id) return entry.text;
  }
  return nullptr;
}

// The same as a QString; empty for an id the table lacks.
inline QString StringOf(std::span<const StringEntry> table, int id) {
  const char* text = FindString(table, id);
  return text ? QString::fromUtf8(text) : QString();
}

}  // namespace kestrel
