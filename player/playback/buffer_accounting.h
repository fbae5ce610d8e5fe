// Turns a stream's played position into "buffer finished" notices. The sound
// server only says how far it has read; a buffer is finished once the played
// position (read position minus what the sink still holds) has passed its end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "wave_output.h"

namespace kestrel {

class CBufferAccounting {
 public:
  // More than the 250-buffer ring can ever have outstanding.
  static constexpr int kCapacity = 512;

  // Forgets every pending buffer; the next one written starts at
  // `streamIndex` (bytes from the start of the stream).
  void Restart(std::int64_t streamIndex);

  // Records a written buffer. False (and nothing recorded) when full.
  bool Add(std::size_t bytes, std::uint32_t tag);

  // Takes a new reading of the played position in bytes. The position is kept
  // monotonic and never beyond what was written; every buffer whose end it
  // has reached is reported to `listener`, oldest first.
  void Advance(std::int64_t playedIndex, IWaveOutputListener* listener);

  // Reports every pending buffer as finished and forgets them.
  void GiveBackAll(IWaveOutputListener* listener);

  int Pending() const { return count_; }
  std::int64_t Played() const { return played_; }
  std::int64_t Written() const { return written_; }

 private:
  struct Entry {
    std::int64_t end;
    std::uint32_t tag;
  };
  std::array<Entry, kCapacity> entries_{};
  int head_ = 0;  // oldest pending
  int count_ = 0;
  std::int64_t written_ = 0;  // end of the last buffer written
  std::int64_t played_ = 0;
};

}  // namespace kestrel
