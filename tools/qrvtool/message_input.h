// A message named on the command line ("-" for standard input), opened once:
// its header is checked and its records are then read from the same stream.
#pragma once

#include <string>

#include "input_file.h"
#include "message_file.h"
#include "reporter.h"

namespace kestrel::tool {

struct MessageInput {
  CMessageFile file;
  std::string name;     // for messages: "standard input" or the path
  long long size = -1;  // bytes, -1 for a stream
  FileIdentity identity;

  // 0 when the header is good; otherwise one line and the status: 1 when the
  // system refused the file (its reason), 2 when it is not a message.
  int Open(const std::string& path, Reporter& report);
};

}  // namespace kestrel::tool
