#pragma once

#include <QString>

namespace kestrel {

// The file type the player registers itself for on its first start.
struct FileTypeRegistration {
  QString extension;    // ".qrv"
  QString typeName;     // "Kestrel.Message"
  QString description;  // "Kestrel Compressed Message"
  QString programPath;  // the running program, absolute
};

class IFileTypeRegistry {
 public:
  virtual ~IFileTypeRegistry() = default;
  // Whether files with `extension` are known as some type already, whichever
  // program handles them.
  virtual bool IsKnown(const QString& extension) = 0;
  // Makes the type known, with the program as its handler. Failures are
  // silent: the association may be left incomplete.
  virtual void Register(const FileTypeRegistration& registration) = 0;
};

}  // namespace kestrel
