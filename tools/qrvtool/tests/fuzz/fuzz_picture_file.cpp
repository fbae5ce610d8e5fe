// A picture file as `qrvtool encode --video DIR` reads it: the only file of a
// folder, opened through the tool's own picture source, so Qt's image reader
// picks the format by content alone and the picture is fitted into 320 x 240.
//
// Qt's image reader refuses pictures above its allocation limit (128 MB);
// the fuzz script's per-allocation limit makes any larger allocation a
// finding, and its time limit any picture that takes too long.
//
// A PNG chunk that announces more bytes than the file holds once made the
// PNG reader take that much memory, up to 2 GB, and seconds (corpus/picture/
// png-chunk-past-end.png): encode now refuses such a file before reading it.
#include <QtGlobal>

#include <cstdlib>
#include <string>

#include "fuzz_input_file.h"
#include "message_format.h"
#include "picture_source.h"
#include "qt_services.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Readers report broken pictures as warnings; the fuzzer's log needs none.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  // The module is loaded before the first input, so that its coverage
  // counts from the start; one that cannot be loaded stops the run at once.
  if (!kestrel::tool::LoadQtServices(nullptr)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kestrel::fuzzing::WriteInput("picture.png", data, size);
  std::string why;
  int status = 0;
  const auto source = kestrel::tool::OpenPictureSource(kestrel::fuzzing::InputFolder().string(), 5, status, &why);
  if (!source) std::abort();
  std::vector<std::uint8_t> picture;
  bool ended = true;
  const int read = source->Next(picture, ended, &why);
  // The folder holds one picture file: it is read or refused, never missing.
  if (ended || (read == 0 && picture.size() != kestrel::kPictureBytes)) std::abort();
  return 0;
}
