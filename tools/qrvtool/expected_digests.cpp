#include "expected_digests.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "input_file.h"
#include "qrvtool.h"

namespace kestrel::tool {

namespace {

constexpr std::size_t kMd5HexDigits = 32;
constexpr std::size_t kLongestDigestFile = 4096;

bool ToDigest(std::string text, std::string& digest) {
  if (text.size() != kMd5HexDigits) return false;
  for (char& c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  digest = text;
  return true;
}

}  // namespace

int ReadExpectedDigests(const std::string& text, DecodedDigests& digests, std::string* why) {
  const std::size_t colon = text.find(':');
  if (colon != std::string::npos && ToDigest(text.substr(0, colon), digests.pcm) &&
      ToDigest(text.substr(colon + 1), digests.bgr))
    return kExitOk;

  InputFile file;
  std::string reason;
  if (text == "-" || !file.Open(text, &reason)) {
    if (why)
      *why = text == "-" ? "--verify takes PCM:BGR digests or a file of them, not '-'"
                         : text + ": " + reason + " (--verify takes PCM:BGR digests or a file of them)";
    return text == "-" ? kExitBadInput : kExitIoError;
  }
  std::string content(kLongestDigestFile, '\0');
  std::size_t filled = 0;
  for (ssize_t got;
       filled < content.size() && (got = ::read(file.Descriptor(), &content[filled], content.size() - filled)) > 0;)
    filled += static_cast<std::size_t>(got);
  content.resize(filled);
  std::istringstream lines(content);
  bool pcm = false, bgr = false;
  for (std::string kind, md5, hex; lines >> kind >> md5 >> hex;) {
    if (md5 != "md5") break;
    if (kind == "pcm") pcm = ToDigest(hex, digests.pcm);
    if (kind == "bgr") bgr = ToDigest(hex, digests.bgr);
  }
  if (pcm && bgr) return kExitOk;
  if (why) *why = text + ": neither PCM:BGR digests nor the 'pcm md5' and 'bgr md5' lines of --md5";
  return kExitBadInput;
}

}  // namespace kestrel::tool
