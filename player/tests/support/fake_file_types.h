// A file-type registry that remembers what it was asked.
#pragma once

#include <vector>

#include "platform/file_type_registry.h"

namespace kestrel::testing {

class CFakeFileTypes final : public IFileTypeRegistry {
 public:
  bool IsKnown(const QString& extension) override {
    asked.push_back(extension);
    return known;
  }
  void Register(const FileTypeRegistration& registration) override { registered.push_back(registration); }

  bool known = false;
  std::vector<QString> asked;
  std::vector<FileTypeRegistration> registered;
};

}  // namespace kestrel::testing
