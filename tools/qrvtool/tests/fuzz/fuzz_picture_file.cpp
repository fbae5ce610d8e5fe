// A picture file as `qrvtool encode --video DIR` reads it: the only file of a
// folder, opened through the tool's own picture source, so Qt's image reader
// picks the format by content (the suffix's reader first, then every reader
// that recognises the bytes) and the picture is fitted into 320 x 240.
//
// Qt's image reader refuses pictures above its allocation limit (128 MB);
// the fuzz script's per-allocation limit makes any larger allocation a
// finding, and its time limit any picture that takes too long.
#include <QtGlobal>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "message_format.h"
#include "picture_source.h"

namespace {

// A folder of its own under TMPDIR, removed when the fuzzer exits normally.
const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-picture.XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(Folder(), ignored);
    });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Readers report broken pictures as warnings; the fuzzer's log needs none.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = Folder() / "picture.png";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) std::abort();
  }
  std::string why;
  const auto source = kestrel::tool::OpenPictureSource(Folder().string(), 5, &why);
  if (!source || source->Count() != 1) std::abort();
  std::vector<std::uint8_t> picture;
  if (source->Picture(0, picture, &why) && picture.size() != kestrel::kPictureBytes) std::abort();
  return 0;
}
