// `qrvtool decode FILE [--pcm OUT] [--bgr OUT] [--wav OUT] [--png DIR]
// [--y4m OUT] [--md5] [--verify DIGESTS] [--threads N]`: the sound and every picture, in
// file order, as the player decodes them.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "expected_digests.h"
#include "message_input.h"
#include "qrvtool.h"
#include "reporter.h"

namespace kestrel::tool {

int RunDecode(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

struct DecodeRequest {
  std::optional<std::string> pcm, bgr, wav, png, y4m;  // targets; "-" is standard output
  bool md5 = false;
  std::optional<DecodedDigests> verify;
  bool noClobber = false;
  unsigned threads = 1;  // picture decoders, one per thread
};

// Decodes an opened message into what `request` asks for, all outputs or
// none; returns the exit status (its line printed).
int DecodeMessage(MessageInput& message, const DecodeRequest& request, Reporter& report);

}  // namespace kestrel::tool
