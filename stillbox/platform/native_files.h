#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel::stillbox {

// File operations on paths of any bytes (file_names.h), straight on the
// system calls.

// Reads the whole of the regular file at path into bytes. False for anything
// that is not a regular file (a pipe named like a picture must not block the
// reader), a file larger than maxBytes, or a read error.
bool ReadRegularFile(const QString& path, std::vector<std::uint8_t>& bytes, std::size_t maxBytes);

// Removes the file at path; false when it could not be removed.
bool RemoveFile(const QString& path);

// Whether anything, even a dangling link, is at path.
bool PathExists(const QString& path);

}  // namespace kestrel::stillbox
