// One video payload of any length; the first byte picks the quality and the
// output size, the rest is the payload.
#include <vector>

#include "message_format.h"
#include "shared_video_decoder.h"

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CVideoDecoder& decoder = fuzzing::SharedVideoDecoder();
  static std::vector<std::uint8_t> picture(kDoublePictureBytes);
  if (size == 0) return 0;
  const std::uint8_t control = data[0];
  decoder.SetQuality(static_cast<std::int8_t>(control & 3));
  const bool doubleSize = (control & 4) != 0;
  // The payload on the heap at its exact length: a read past it is caught.
  std::vector<std::uint8_t> payload(data + 1, data + size);
  decoder.Decode(payload.data(), payload.size(), picture.data(), doubleSize);
  return 0;
}
