// Completion notices on their way from the sound backend's thread to the
// user-interface thread: a fixed ring of tags under a lock. Posting never
// allocates; a post into a full mailbox is not stored but counted, so that
// what it told is not lost.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>

namespace kestrel {

class CCompletionMailbox {
 public:
  // Several times what the 250-buffer ring can have outstanding, so that a
  // reset's give-back and a ring of played buffers fit together.
  static constexpr int kCapacity = 1024;

  // Any thread.
  void Post(std::uint32_t tag);

  // Moves up to `capacity` notices, oldest first, into `out`; returns how many.
  int Take(std::uint32_t* out, int capacity);

  // The notices that found the mailbox full since the last call: how many
  // carried the tag of the last of them. Tags only move on (a device's epoch),
  // and a notice with an older tag than the newest no longer counts, so only
  // the newest tag's are kept.
  struct Dropped {
    std::uint32_t tag = 0;
    int count = 0;
  };
  Dropped TakeDropped();

 private:
  mutable std::mutex mutex_;
  std::array<std::uint32_t, kCapacity> tags_{};
  int head_ = 0;
  int count_ = 0;
  Dropped dropped_;
};

}  // namespace kestrel
