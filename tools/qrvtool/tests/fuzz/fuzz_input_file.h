// For the targets whose parser reads a named file: the input written to a
// file in a folder of the target's own under TMPDIR, removed when the fuzzer
// exits normally.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace kestrel::fuzzing {

inline const std::filesystem::path& InputFolder() {
  static const std::filesystem::path folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-input.XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(InputFolder(), ignored);
    });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

// The input as the file `name` of the folder, replacing the last one.
inline std::filesystem::path WriteInput(const char* name, const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = InputFolder() / name;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) std::abort();
  return file;
}

}  // namespace kestrel::fuzzing
