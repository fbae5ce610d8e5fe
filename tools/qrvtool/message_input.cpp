#include "message_input.h"

#include <cerrno>
#include <cstring>

namespace kestrel::tool {

int MessageInput::Open(const std::string& path, Reporter& report) {
  InputFile input;
  std::string why;
  const bool opened = input.Open(path, &why);
  name = input.Name();
  if (!opened) return report.Fail(kExitIoError, name, why);
  size = input.Size();
  identity = input.Identity();
  std::FILE* stream = input.TakeStream();
  if (!stream) return report.Fail(kExitIoError, name, std::strerror(errno));
  errno = 0;
  const OpenResult result = file.Attach(stream);
  if (result == OpenResult::Ok) return kExitOk;
  // A read error is the system's; a short or wrong header makes it no message.
  if (errno == EIO) return report.Fail(kExitIoError, name, std::strerror(errno));
  return report.Fail(kExitBadInput, name, Describe(result));
}

}  // namespace kestrel::tool
