#include "buffer_accounting.h"

#include <algorithm>

namespace kestrel {

void CBufferAccounting::Restart(std::int64_t streamIndex) {
  head_ = 0;
  count_ = 0;
  written_ = streamIndex;
  played_ = streamIndex;
}

bool CBufferAccounting::Add(std::size_t bytes, std::uint32_t tag) {
  if (count_ == kCapacity) return false;
  written_ += static_cast<std::int64_t>(bytes);
  entries_[(head_ + count_) % kCapacity] = Entry{written_, tag};
  ++count_;
  return true;
}

void CBufferAccounting::Advance(std::int64_t playedIndex, IWaveOutputListener* listener) {
  // Sink latencies reported by the server can jump about; the position we
  // report must only ever move forwards and never past what we wrote.
  played_ = std::clamp(playedIndex, played_, written_);
  while (count_ > 0 && entries_[head_].end <= played_) {
    const std::uint32_t tag = entries_[head_].tag;
    head_ = (head_ + 1) % kCapacity;
    --count_;
    if (listener) listener->OnBufferFinished(tag);
  }
}

void CBufferAccounting::GiveBackAll(IWaveOutputListener* listener) {
  while (count_ > 0) {
    const std::uint32_t tag = entries_[head_].tag;
    head_ = (head_ + 1) % kCapacity;
    --count_;
    if (listener) listener->OnBufferFinished(tag);
  }
  played_ = written_;
}

}  // namespace kestrel
