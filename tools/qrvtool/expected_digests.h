// The digests `decode --verify` compares with: those `decode --md5` prints.
#pragma once

#include <string>

namespace kestrel::tool {

struct DecodedDigests {
  std::string pcm, bgr;  // lower-case hex MD5 of the sound and of the pictures
};

// `text` is "PCM:BGR" (32 hex digits each) or the name of a file holding the
// two lines `decode --md5` prints. Returns the exit status: 0, 1 when the
// file cannot be read, 2 when neither form is found; `why` says why.
int ReadExpectedDigests(const std::string& text, DecodedDigests& digests, std::string* why);

}  // namespace kestrel::tool
