#include "completion_mailbox.h"

namespace kestrel {

void CCompletionMailbox::Post(std::uint32_t tag) {
  std::lock_guard lock(mutex_);
  if (count_ == kCapacity) {
    ++dropped_;
    return;
  }
  tags_[(head_ + count_) % kCapacity] = tag;
  ++count_;
}

int CCompletionMailbox::Take(std::uint32_t* out, int capacity) {
  std::lock_guard lock(mutex_);
  int taken = 0;
  while (taken < capacity && count_ > 0) {
    out[taken++] = tags_[head_];
    head_ = (head_ + 1) % kCapacity;
    --count_;
  }
  return taken;
}

int CCompletionMailbox::Dropped() const {
  std::lock_guard lock(mutex_);
  return dropped_;
}

}  // namespace kestrel
