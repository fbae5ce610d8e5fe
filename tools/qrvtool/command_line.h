// The command lines of qrvtool's commands, parsed the GNU way (getopt_long):
// options before or after the operands, --name=value or --name value, "--"
// ends the options, "-" is an operand. Every command takes -h/--help,
// --version and -q/--quiet; commands that write files take -n/--no-clobber.
#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace kestrel::tool {

struct OptionSpec {
  const char* name;   // long name without the dashes: "pcm"
  char shortName;     // 'o', or 0
  const char* value;  // the value's name in the help ("OUT"), nullptr for a flag
  const char* help;
};

struct CommandSpec {
  const char* name;      // "decode"
  const char* operands;  // "FILE", as the usage line shows them
  const char* about;     // what the command does, for --help
  std::vector<OptionSpec> options;
  std::size_t minOperands = 0, maxOperands = 0;
  bool writesFiles = false;     // offers -n
  const char* notes = nullptr;  // closing paragraph of the help
};

struct ParsedArgs {
  std::vector<std::string> operands;
  std::map<std::string, std::string> values;  // by long name
  std::set<std::string> flags;                // by long name
  bool quiet = false;
  bool noClobber = false;

  std::optional<std::string> Value(const std::string& name) const;
  bool Flag(const std::string& name) const { return flags.count(name) != 0; }
};

// Parses the words after the command's name. Returns the status to end with
// at once: 0 after --help or --version (printed on `out`), 2 after a usage
// error (a line and "Try 'qrvtool COMMAND --help'." on `err`); nullopt when
// the command is to run.
std::optional<int> ParseCommandLine(const CommandSpec& command, const std::vector<std::string>& args,
                                    ParsedArgs& parsed, std::ostream& out, std::ostream& err);

// A usage error found after parsing: the line, the hint; returns 2.
int UsageError(const CommandSpec& command, std::ostream& err, const std::string& why);

// A whole decimal number within min .. max: "12abc", "", "+3" and " 3" are not.
bool ParseWholeNumber(const std::string& text, long min, long max, long& value);

// The --threads option of the commands that work on pictures.
OptionSpec ThreadsOption(const char* work);
// Its value: the number given, or the cores this process may use. A usage
// error (its status, 2) when the value is not 1 to kMostThreads.
inline constexpr long kMostThreads = 256;
std::optional<int> ThreadsValue(const CommandSpec& command, const ParsedArgs& parsed, std::ostream& err,
                                unsigned& threads);

// "qrvtool 1.0.0", the project's version.
std::string VersionLine();

}  // namespace kestrel::tool
