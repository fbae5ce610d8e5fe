// Completion notices on their way from the sound backend's thread to the
// user-interface thread: a fixed ring of tags under a lock. Posting never
// allocates; a post into a full mailbox is dropped and counted.
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

  int Dropped() const;

 private:
  mutable std::mutex mutex_;
  std::array<std::uint32_t, kCapacity> tags_{};
  int head_ = 0;
  int count_ = 0;
  int dropped_ = 0;
};

}  // namespace kestrel
