// A small parser for "command FILE --option VALUE --flag" command lines.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kestrel::tool {

struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;  // --name VALUE
  std::set<std::string> flags;                // --name
  std::string error;                          // empty when the line parsed

  std::optional<std::string> Value(const std::string& name) const;
  bool Flag(const std::string& name) const { return flags.count(name) != 0; }
};

// `valueOptions` take a value (e.g. "--pcm", "-o"); `flagOptions` do not.
ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions);

}  // namespace kestrel::tool
