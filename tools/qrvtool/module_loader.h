// qrvtool's modules: code that needs large libraries, kept out of the
// program so that the commands that do not use it never map them. A module
// lives where the installation puts it (relative to the program) or beside
// the program in a build folder, and is loaded once, on first use.
#pragma once

#include <string>

namespace kestrel::tool {

// What `entry` (an extern "C" function without arguments) of the module file
// `file` returns; the module stays loaded. Null, with the reason, when it
// cannot be loaded.
const void* LoadModule(const char* file, const char* entry, std::string* why);

}  // namespace kestrel::tool
