// Where each record of an open message starts and when it plays, from one
// pass over the record stream (type bytes and lengths; payloads are passed
// over). Audio record i holds audio frames 10 i to 10 i + 9; picture k (the
// k-th video record the reader would show) is due at PictureDue(k, rate).
// The records are delimited exactly as CMessageFile::ReadRecord reads them,
// so a damaged tail ends the index where reading would end.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel {

// The played position, in 20 ms audio frames, at which picture `picture` of
// a message with `rate` pictures per second is due: the first frame at or
// after picture / rate seconds.
std::uint64_t PictureDue(std::uint64_t picture, int rate);
// The last picture due at or before `frame`.
std::uint64_t LastPictureDueBy(std::uint64_t frame, int rate);

class CMessageIndex {
 public:
  // Reads the message on `fd` from `dataStart` with positioned reads (the
  // descriptor's file position is not touched), through `scratch`. Returns
  // false, with the index incomplete, as soon as `quit` is set.
  bool Build(int fd, std::int64_t dataStart, std::uint8_t* scratch, std::size_t scratchBytes,
             const std::atomic<bool>& quit);
  void Clear();

  std::size_t AudioRecords() const { return audio_.size(); }
  std::size_t Pictures() const { return pictures_.size(); }
  std::int64_t AudioRecordAt(std::size_t record) const { return audio_[record]; }
  std::int64_t PictureAt(std::size_t picture) const { return pictures_[picture]; }
  // Where reading ends: the end of the file, or the end of the last record
  // that reading can reach.
  std::int64_t EndOfData() const { return end_; }

  // How many audio records, and how many pictures, start before `offset`.
  std::size_t AudioRecordsBefore(std::int64_t offset) const;
  std::size_t PicturesBefore(std::int64_t offset) const;

 private:
  std::vector<std::int64_t> audio_;
  std::vector<std::int64_t> pictures_;
  std::int64_t end_ = 0;
};

}  // namespace kestrel
