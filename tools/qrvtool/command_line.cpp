#include "command_line.h"

namespace kestrel::tool {

std::optional<std::string> ParsedArgs::Value(const std::string& name) const {
  auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions) {
  ParsedArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() > 1 && a[0] == '-') {
      if (valueOptions.count(a)) {
        if (i + 1 >= args.size()) {
          parsed.error = "option " + a + " needs a value";
          return parsed;
        }
        parsed.values[a] = args[++i];
      } else if (flagOptions.count(a)) {
        parsed.flags.insert(a);
      } else {
        parsed.error = "unknown option " + a;
        return parsed;
      }
    } else {
      parsed.positional.push_back(a);
    }
  }
  return parsed;
}

}  // namespace kestrel::tool
