#include "message_index.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "message_format.h"

namespace kestrel {

namespace {

constexpr std::uint64_t kFramesPerSecond = 1000 / kAudioFrameMilliseconds;

// A window on the file that is refilled from wherever it is asked to start.
class CScanWindow {
 public:
  CScanWindow(int fd, std::uint8_t* buffer, std::size_t capacity) : fd_(fd), buffer_(buffer), capacity_(capacity) {}

  // The `bytes` bytes at `offset`, or nullptr when the file ends before them
  // (or cannot be read).
  const std::uint8_t* At(std::int64_t offset, std::size_t bytes) {
    if (offset < start_ || offset + static_cast<std::int64_t>(bytes) > start_ + static_cast<std::int64_t>(size_)) {
      Fill(offset);
    }
    if (offset + static_cast<std::int64_t>(bytes) > start_ + static_cast<std::int64_t>(size_)) return nullptr;
    return buffer_ + (offset - start_);
  }

 private:
  void Fill(std::int64_t offset) {
    start_ = offset;
    size_ = 0;
    while (size_ < capacity_) {
      const ssize_t got = pread(fd_, buffer_ + size_, capacity_ - size_, static_cast<off_t>(offset) + size_);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      size_ += static_cast<std::size_t>(got);
    }
  }

  int fd_;
  std::uint8_t* buffer_;
  std::size_t capacity_;
  std::int64_t start_ = 0;
  std::size_t size_ = 0;
};

}  // namespace

std::uint64_t PictureDue(std::uint64_t picture, int rate) {
  const auto perSecond = static_cast<std::uint64_t>(rate);
  return (picture * kFramesPerSecond + perSecond - 1) / perSecond;
}

std::uint64_t LastPictureDueBy(std::uint64_t frame, int rate) {
  return frame * static_cast<std::uint64_t>(rate) / kFramesPerSecond;
}

void CMessageIndex::Clear() {
  audio_.clear();
  pictures_.clear();
  end_ = 0;
}

bool CMessageIndex::Build(int fd, std::int64_t dataStart, std::uint8_t* scratch, std::size_t scratchBytes,
                          const std::atomic<bool>& quit) {
  Clear();
  CScanWindow window(fd, scratch, scratchBytes);
  std::int64_t offset = dataStart;
  for (std::uint32_t records = 0;; ++records) {
    // Called off promptly, however long the file.
    if ((records & 0x3FF) == 0 && quit.load()) return false;
    const std::uint8_t* type = window.At(offset, 1);
    if (!type) break;
    if (*type == kAudioRecordType) {
      // Cut short, it is still read (its missing bytes as zeros), and the
      // data ends after it.
      audio_.push_back(offset);
      offset += 1 + static_cast<std::int64_t>(kAudioRecordBytes);
      continue;
    }
    if (*type != kVideoRecordType) {
      ++offset;  // passed over
      continue;
    }
    const std::uint8_t* length = window.At(offset + 1, 2);
    // Even a record cut short in its length is shown (as an empty picture),
    // and the data ends there.
    if (!length) {
      pictures_.push_back(offset);
      offset += 1;
      break;
    }
    const std::uint32_t bytes = length[0] | std::uint32_t{length[1]} << 8;
    if (bytes <= kPayloadBufferBytes) pictures_.push_back(offset);  // a longer one is skipped unread
    offset += 3 + static_cast<std::int64_t>(bytes);
  }
  end_ = offset;
  return true;
}

std::size_t CMessageIndex::AudioRecordsBefore(std::int64_t offset) const {
  return static_cast<std::size_t>(std::lower_bound(audio_.begin(), audio_.end(), offset) - audio_.begin());
}

std::size_t CMessageIndex::PicturesBefore(std::int64_t offset) const {
  return static_cast<std::size_t>(std::lower_bound(pictures_.begin(), pictures_.end(), offset) - pictures_.begin());
}

}  // namespace kestrel
