// A picture file as `qrvtool encode --video DIR` reads it: the only file of a
// folder, opened through the tool's own picture source, so Qt's image reader
// picks the format by content alone and the picture is fitted into 320 x 240.
//
// Qt's image reader refuses pictures above its allocation limit (128 MB);
// the fuzz script's per-allocation limit makes any larger allocation a
// finding, and its time limit any picture that takes too long.
//
// One finding is known and not yet mended in encode (findings/ holds its
// input): a PNG chunk that announces more bytes than the whole file holds
// makes the PNG reader take that much memory, up to 2 GB, and spend seconds
// on it before it fails. Such inputs are passed over, so that the target
// goes on to find what else there is; chunks cut short by the end of the
// file are still tried.
#include <QtGlobal>

#include <cstdlib>
#include <cstring>
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

// Whether the bytes are a PNG file with a chunk longer than the file.
bool PngChunkLongerThanFile(const std::uint8_t* data, std::size_t size) {
  static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
  if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0) return false;
  // Each chunk: 32-bit big-endian length, 4-byte type, data, 32-bit check.
  for (std::size_t at = sizeof kSignature; at + 8 <= size;) {
    const std::size_t length = std::size_t{data[at]} << 24 | std::size_t{data[at + 1]} << 16 |
                               std::size_t{data[at + 2]} << 8 | data[at + 3];
    if (length > size) return true;
    at += 12 + length;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Readers report broken pictures as warnings; the fuzzer's log needs none.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (PngChunkLongerThanFile(data, size)) return 0;
  const std::filesystem::path file = Folder() / "picture.png";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) std::abort();
  }
  std::string why;
  int status = 0;
  const auto source = kestrel::tool::OpenPictureSource(Folder().string(), 5, status, &why);
  if (!source) std::abort();
  std::vector<std::uint8_t> picture;
  bool ended = true;
  const int read = source->Next(picture, ended, &why);
  // The folder holds one picture file: it is read or refused, never missing.
  if (ended || (read == 0 && picture.size() != kestrel::kPictureBytes)) std::abort();
  return 0;
}
