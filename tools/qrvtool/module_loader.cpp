#include "module_loader.h"

#include <dlfcn.h>

#include <filesystem>

#include "format_libraries.h"
#include "qt_services.h"

namespace kestrel::tool {

const void* LoadModule(const char* file, const char* entry, std::string* why) {
  using Entry = const void* (*)();
  auto fail = [&](const std::string& reason) -> const void* {
    if (why) *why = std::string("cannot load ") + file + ": " + reason;
    return nullptr;
  };
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return fail("the program's own folder is unknown: " + ec.message());
  const std::filesystem::path installed = self.parent_path() / KESTREL_QRVTOOL_MODULE_FROM_BIN / file;
  const std::filesystem::path built = self.parent_path() / file;
  // Elsewhere the file's bare name, which the library search path of a
  // program linked with the module (a test) finds.
  const std::filesystem::path path = std::filesystem::exists(installed, ec) ? installed
                                     : std::filesystem::exists(built, ec)   ? built
                                                                            : std::filesystem::path(file);
  // dlopen counts its loads: a second call finds the module loaded.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) return fail(dlerror());
  void* found = dlsym(module, entry);
  if (!found) return fail(path.string() + " lacks " + entry);
  return reinterpret_cast<Entry>(found)();
}

const QtServices* LoadQtServices(std::string* why) {
  return static_cast<const QtServices*>(LoadModule("libqrvtool-qt.so", "kestrel_qrvtool_qt_services", why));
}

const FormatLibraries* LoadFormatLibraries(std::string* why) {
  return static_cast<const FormatLibraries*>(
      LoadModule("libqrvtool-formats.so", "kestrel_qrvtool_format_libraries", why));
}

}  // namespace kestrel::tool
