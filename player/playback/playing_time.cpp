#include "playing_time.h"

#include <cstdio>

#include "string_table.h"

namespace kestrel {

int FormatPlayingTime(char* out, std::size_t size, std::uint64_t audioFrames) {
  // Five frames make a tenth of a second; halves round up.
  const std::uint64_t tenths = (audioFrames + 2) / 5;
  const int minutes = static_cast<int>(tenths / 600);
  const double seconds = static_cast<double>(tenths % 600) / 10.0;
  return std::snprintf(out, size, StringText(IDS_POSITION_FORMAT), minutes, seconds);
}

}  // namespace kestrel
