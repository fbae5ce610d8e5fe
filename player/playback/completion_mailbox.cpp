#include "completion_mailbox.h"

#include <utility>

namespace kestrel {

void CCompletionMailbox::Post(std::uint32_t tag) {
  std::lock_guard lock(mutex_);
  if (count_ == kCapacity) {
    if (dropped_.count == 0 || dropped_.tag != tag) dropped_ = Dropped{tag, 0};
    ++dropped_.count;
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

CCompletionMailbox::Dropped CCompletionMailbox::TakeDropped() {
  std::lock_guard lock(mutex_);
  return std::exchange(dropped_, Dropped{});
}

}  // namespace kestrel
