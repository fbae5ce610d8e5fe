// The total and current time labels: a count of 20 ms audio frames written
// with string 10 ("%02d mins, %02.1f secs "). The count is rounded to tenths
// of a second first and only then split into minutes, so a time just under a
// whole minute reads as the next minute, never as "60.0 secs".
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel {

// Writes the text into `out` (at least 32 bytes are always enough); returns
// its length.
int FormatPlayingTime(char* out, std::size_t size, std::uint64_t audioFrames);

}  // namespace kestrel
