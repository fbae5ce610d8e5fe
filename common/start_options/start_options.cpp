#include "start_options.h"

#include <cstring>
#include <string>

namespace kestrel {

namespace {

constexpr char kCommonHelp[] =
    "\n"
    "  -h, --help   show this text and end\n"
    "  --version    show the version and end\n"
    "\n"
    "The Qt toolkit's own options (-platform, -display, ...) are accepted too.\n";

// The toolkit's own options (QGuiApplication and QApplication), written with
// one dash or two; the first group takes a value.
constexpr const char* kToolkitValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "qmljsdebugger", "title",   "name"};
constexpr const char* kToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

// "platform" for "-platform", "--platform" or "--platform=x"; empty otherwise.
std::string OptionName(const char* argument, bool& hasValue) {
  const char* name = argument + (argument[1] == '-' ? 2 : 1);
  const char* equals = std::strchr(name, '=');
  hasValue = equals != nullptr;
  return equals ? std::string(name, equals) : std::string(name);
}

template <std::size_t N>
bool Among(const std::string& name, const char* const (&names)[N]) {
  for (const char* known : names)
    if (name == known) return true;
  return false;
}

}  // namespace

std::optional<int> HandleStartOptions(int argc, char** argv, const StartProgram& program, std::FILE* out,
                                      std::FILE* err) {
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (std::strcmp(argument, "--") == 0) break;
    if (argument[0] != '-' || argument[1] == '\0') continue;
    if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
      std::fputs(program.help, out);
      std::fputs(kCommonHelp, out);
      return 0;
    }
    if (std::strcmp(argument, "--version") == 0) {
      std::fprintf(out, "%s %s\n", program.name, KESTREL_VERSION);
      return 0;
    }
    bool hasValue = false;
    const std::string name = OptionName(argument, hasValue);
    if (Among(name, kToolkitValueOptions)) {
      if (!hasValue) ++i;  // the value is the next word
      continue;
    }
    if (Among(name, kToolkitFlags) && !hasValue) continue;
    std::fprintf(err, "%s: unknown option '%s'\nTry '%s --help'.\n", program.name, argument, program.name);
    return 2;
  }
  return std::nullopt;
}

}  // namespace kestrel
