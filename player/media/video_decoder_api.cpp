#include "video_decoder_api.h"

#include "video_decoder.h"

namespace kestrel {

namespace {
CVideoDecoder& ProcessDecoder() {
  static CVideoDecoder decoder;
  return decoder;
}
}  // namespace

bool InitVideoDecoder() { return ProcessDecoder().Init(); }
bool SetVideoQuality(std::int8_t level) { return ProcessDecoder().SetQuality(level); }
bool DecodeVideoFrame(const std::uint8_t* payload, std::size_t length, std::uint8_t* picture, bool doubleSize) {
  return ProcessDecoder().Decode(payload, length, picture, doubleSize);
}
void ShutdownVideoDecoder() { ProcessDecoder().Shutdown(); }

}  // namespace kestrel
