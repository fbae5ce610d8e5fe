// What the desktop programs do with their command line before any window or
// display connection: --help and --version print on stdout and end with 0; an
// option that neither the program nor the Qt toolkit knows is a usage error
// (a line and a hint on stderr, status 2). Everything else is left for the
// program's own start-up.
#pragma once

#include <cstdio>
#include <optional>

namespace kestrel {

struct StartProgram {
  const char* name;  // "player"
  const char* help;  // what --help prints before the options common to both
};

// nullopt: go on starting. A value: end at once with it.
std::optional<int> HandleStartOptions(int argc, char** argv, const StartProgram& program, std::FILE* out,
                                      std::FILE* err);

}  // namespace kestrel
