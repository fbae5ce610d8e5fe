// Starts another program, detached from this one.
#pragma once

class QString;

namespace kestrel {

class IProgramLauncher {
 public:
  virtual ~IProgramLauncher() = default;
  // Starts `program` (a name looked up on the search path, or a path) with
  // no arguments and does not wait for it. False when it could not start.
  virtual bool Start(const QString& program) = 0;
};

}  // namespace kestrel
