// A YUV4MPEG2 stream as `qrvtool encode --video FILE.y4m` reads it: the
// header, then frames in turn, some converted to R, G, B and the first of
// those fitted into a picture, the others passed over as a dropped frame is.
//
// Budget: at most kFrames frames per input. Memory is bounded by the fuzz
// script's per-allocation limit: whatever the header announces, the reader
// may only take memory in proportion to the bytes it is given.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "byte_source.h"
#include "message_format.h"
#include "qt_services.h"
#include "y4m_reader.h"

using namespace kestrel::tool;

namespace {
constexpr int kFrames = 6;
}  // namespace

// The module is loaded before the first input, as the program loads it
// before reading: its coverage counts from the start, and a module that
// cannot be loaded stops the run at once.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!LoadQtServices(nullptr)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryByteSource source(data, size);
  Y4mReader reader(source);
  std::string why;
  if (!reader.ReadHeader(&why)) {
    if (why.empty()) std::abort();
    return 0;
  }
  if (reader.Width() < 1 || reader.Height() < 1 || reader.Width() > kLargestY4mSide ||
      reader.Height() > kLargestY4mSide || !(reader.FrameRate() >= kSlowestY4mRate) ||
      !(reader.FrameRate() <= kFastestY4mRate))
    std::abort();
  const std::size_t rgbBytes = std::size_t(reader.Width()) * reader.Height() * 3;
  std::vector<std::uint8_t> rgb;
  bool fitted = false;
  for (int frame = 0; frame < kFrames; ++frame) {
    const bool convert = frame % 2 == 0;
    switch (reader.Next(convert ? &rgb : nullptr, &why)) {
      case Y4mReader::Frame::End:
      case Y4mReader::Frame::Damaged:
        return 0;
      case Y4mReader::Frame::Read:
        if (!convert) break;
        if (rgb.size() != rgbBytes) std::abort();
        if (!fitted && LoadQtServices(nullptr)->fitToPicture(rgb.data(), reader.Width(), reader.Height()).size() !=
                           kestrel::kPictureBytes)
          std::abort();
        fitted = true;
        break;
    }
  }
  return 0;
}
