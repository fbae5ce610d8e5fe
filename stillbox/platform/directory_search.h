#pragma once

#include <QString>

namespace kestrel::stillbox {

// One entry found by a directory search.
struct DirEntry {
  QString name;         // file name as found, without the directory
  bool hidden = false;  // a name starting with a dot
  bool directory = false;
  bool regularFile = false;  // false for sockets, pipes, devices, dangling links
};

// Walks the entries of one directory whose names match a pattern. Entries come
// in whatever order the file system gives them.
class IDirectorySearch {
 public:
  virtual ~IDirectorySearch() = default;
  // Starts a search of directory for names matching pattern ("*.bmp"), case
  // insensitively. False when the directory cannot be read.
  virtual bool Start(const QString& directory, const QString& pattern) = 0;
  // The next entry; false when there is none left.
  virtual bool Next(DirEntry& entry) = 0;
  // Ends the search; Start may be called again afterwards.
  virtual void Finish() = 0;
};

}  // namespace kestrel::stillbox
