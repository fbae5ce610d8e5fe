// One pass over the record stream of an open message, off the user-interface
// thread: type bytes and lengths are read, payloads passed over. It tells
// whether the message has any sound, and, when it has none, how many
// pictures it holds, so that the pictures can be given their time in silence.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace kestrel {

struct SoundScan {
  bool complete = false;       // false when the scan was called off
  bool hasSound = false;       // an audio record was found (the scan stops there)
  std::uint64_t pictures = 0;  // video records the reader would show, up to there
};

// Reads the message on `fd` from `dataStart` with positioned reads (the
// descriptor's file position is not touched), `scratchBytes` at a time into
// `scratch`. Returns with complete = false as soon as `quit` is set. The
// records are delimited exactly as the reader reads them.
SoundScan ScanForSound(int fd, std::int64_t dataStart, std::uint8_t* scratch, std::size_t scratchBytes,
                       const std::atomic<bool>& quit);

}  // namespace kestrel
