#include "command_line.h"

#include <getopt.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "ordered_work.h"
#include "qrvtool.h"

namespace kestrel::tool {

namespace {

// Options without a one-letter form are told apart by values above any character.
constexpr int kFirstLongOnly = 256;
constexpr std::size_t kHelpColumn = 28;
constexpr std::size_t kHelpWidth = 80;

// `text` broken at spaces into lines of at most `width`, the later ones indented.
std::string Wrapped(const std::string& text, std::size_t width, std::size_t indent) {
  std::string result, line;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t to = text.find(' ', from);
    if (to == std::string::npos) to = text.size();
    const std::string word = text.substr(from, to - from);
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      result += line + "\n" + std::string(indent, ' ');
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    from = to + 1;
  }
  return result + line;
}

std::vector<OptionSpec> AllOptions(const CommandSpec& command) {
  std::vector<OptionSpec> all = command.options;
  if (command.writesFiles)
    all.push_back({"no-clobber", 'n', nullptr, "never overwrite an existing file (exit status 1)"});
  all.push_back({"quiet", 'q', nullptr, "no progress line on the terminal and no summary"});
  all.push_back({"help", 'h', nullptr, "show this help and end"});
  all.push_back({"version", 0, nullptr, "show the version and end"});
  return all;
}

int ValueOf(const std::vector<OptionSpec>& all, std::size_t i) {
  return all[i].shortName ? static_cast<unsigned char>(all[i].shortName) : kFirstLongOnly + static_cast<int>(i);
}

void PrintHelp(const CommandSpec& command, std::ostream& out) {
  out << "Usage: qrvtool " << command.name << " " << command.operands << "\n" << command.about << "\n\nOptions:\n";
  for (const OptionSpec& option : AllOptions(command)) {
    std::string left = option.shortName ? std::string("  -") + option.shortName + ", " : std::string(6, ' ');
    left += std::string("--") + option.name;
    if (option.value) left += std::string("=") + option.value;
    if (left.size() + 2 > kHelpColumn)
      left += "\n" + std::string(kHelpColumn, ' ');
    else
      left.resize(kHelpColumn, ' ');
    out << left << Wrapped(option.help, kHelpWidth - kHelpColumn, kHelpColumn) << "\n";
  }
  if (command.notes) out << "\n" << command.notes;
  out << "\n" << kExitStatusHelp;
}

std::string Describe(const OptionSpec& option) {
  std::string name = std::string("'--") + option.name + "'";
  if (option.shortName) name += std::string(" (-") + option.shortName + ")";
  return name;
}

}  // namespace

std::optional<std::string> ParsedArgs::Value(const std::string& name) const {
  auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

int UsageError(const CommandSpec& command, std::ostream& err, const std::string& why) {
  err << "qrvtool " << command.name << ": " << why << "\n"
      << "Try 'qrvtool " << command.name << " --help'.\n";
  return kExitBadInput;
}

std::optional<int> ParseCommandLine(const CommandSpec& command, const std::vector<std::string>& args,
                                    ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  parsed = ParsedArgs{};
  const std::vector<OptionSpec> all = AllOptions(command);
  std::vector<option> longOptions;
  std::string shortOptions = ":";  // a missing value is told apart from an unknown option
  for (std::size_t i = 0; i < all.size(); ++i) {
    longOptions.push_back({all[i].name, all[i].value ? required_argument : no_argument, nullptr, ValueOf(all, i)});
    if (all[i].shortName) {
      shortOptions += all[i].shortName;
      if (all[i].value) shortOptions += ':';
    }
  }
  longOptions.push_back({nullptr, 0, nullptr, 0});
  auto find = [&](int value) -> const OptionSpec* {
    for (std::size_t i = 0; i < all.size(); ++i)
      if (ValueOf(all, i) == value) return &all[i];
    return nullptr;
  };

  // getopt_long permutes its argument vector: it works on copies.
  std::vector<std::string> words;
  words.push_back(std::string("qrvtool ") + command.name);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(words.size());

  optind = 0;  // a fresh scan for every command line
  opterr = 0;
  for (;;) {
    const int c = getopt_long(argc, argv.data(), shortOptions.c_str(), longOptions.data(), nullptr);
    if (c == -1) break;
    if (c == ':') {
      const OptionSpec* option = find(optopt);
      return UsageError(command, err, "option " + (option ? Describe(*option) : std::string("?")) + " needs a value");
    }
    if (c == '?') {
      if (const OptionSpec* option = optopt ? find(optopt) : nullptr)
        return UsageError(command, err, "option " + Describe(*option) + " takes no value");
      if (optopt) return UsageError(command, err, std::string("unknown option '-") + static_cast<char>(optopt) + "'");
      return UsageError(command, err, std::string("unknown option '") + argv[optind - 1] + "'");
    }
    const OptionSpec* option = find(c);
    if (!option) continue;
    const std::string name = option->name;
    if (name == "help") {
      PrintHelp(command, out);
      return kExitOk;
    }
    if (name == "version") {
      out << VersionLine() << "\n";
      return kExitOk;
    }
    if (name == "quiet") {
      parsed.quiet = true;
    } else if (name == "no-clobber") {
      parsed.noClobber = true;
    } else if (option->value) {
      if (!parsed.values.emplace(name, optarg).second)
        return UsageError(command, err, "option " + Describe(*option) + " given twice");
    } else {
      parsed.flags.insert(name);
    }
  }
  for (int i = optind; i < argc; ++i) parsed.operands.push_back(argv[i]);
  if (parsed.operands.size() < command.minOperands) return UsageError(command, err, "missing operand");
  if (parsed.operands.size() > command.maxOperands)
    return UsageError(command, err, "unexpected operand '" + parsed.operands[command.maxOperands] + "'");
  return std::nullopt;
}

bool ParseWholeNumber(const std::string& text, long min, long max, long& value) {
  if (text.empty()) return false;
  const std::size_t first = text[0] == '-' ? 1 : 0;
  if (first == text.size()) return false;
  for (std::size_t i = first; i < text.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  errno = 0;
  const long parsed = std::strtol(text.c_str(), nullptr, 10);
  if (errno == ERANGE || parsed < min || parsed > max) return false;
  value = parsed;
  return true;
}

OptionSpec ThreadsOption(const char* work) { return {"threads", 0, "N", work}; }

std::optional<int> ThreadsValue(const CommandSpec& command, const ParsedArgs& parsed, std::ostream& err,
                                unsigned& threads) {
  const auto text = parsed.Value("threads");
  if (!text) {
    threads = AvailableCores();
    return std::nullopt;
  }
  long value = 0;
  if (!ParseWholeNumber(*text, 1, kMostThreads, value))
    return UsageError(command, err, "--threads takes 1 to " + std::to_string(kMostThreads) + ", not '" + *text + "'");
  threads = static_cast<unsigned>(value);
  return std::nullopt;
}

std::string VersionLine() { return std::string("qrvtool ") + KESTREL_VERSION; }

}  // namespace kestrel::tool
