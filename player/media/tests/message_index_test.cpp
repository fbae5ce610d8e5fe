#include "message_index.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <vector>

#include "message_file.h"
#include "support/message_builder.h"

namespace kestrel {
namespace {

using testing::MessageBuilder;
using testing::TempPath;

// Where the reader finds each audio record and each picture, walking the
// file record by record.
struct Walk {
  std::vector<std::int64_t> audio;
  std::vector<std::int64_t> pictures;
};

Walk WalkRecords(const std::string& path) {
  Walk walk;
  CMessageFile file;
  EXPECT_EQ(file.Open(path.c_str()), OpenResult::Ok);
  std::vector<std::uint8_t> payload(kPayloadBufferBytes);
  for (;;) {
    const long at = file.Position();
    const Record record = file.ReadRecord(payload.data());
    if (record.kind == RecordKind::EndOfData) break;
    if (record.kind == RecordKind::Audio) walk.audio.push_back(at);
    if (record.kind == RecordKind::Video) walk.pictures.push_back(at);
  }
  return walk;
}

// A message of random records: sound, pictures of any length (some too long
// to be read), passed-over bytes, and a tail cut anywhere.
std::vector<std::uint8_t> RandomMessage(std::uint32_t seed) {
  std::mt19937 rng(seed);
  MessageBuilder builder;
  builder.FrameRate(5);
  const int records = 20 + static_cast<int>(rng() % 60);
  for (int i = 0; i < records; ++i) {
    switch (rng() % 5) {
      case 0:
      case 1:
        builder.SilentAudio(1);
        break;
      case 2:
        builder.Video(std::vector<std::uint8_t>(rng() % 3000, static_cast<std::uint8_t>(rng())));
        break;
      case 3:
        builder.VideoWithLength(static_cast<std::uint16_t>(kPayloadBufferBytes + 1 + rng() % 100), {});
        break;
      default:
        builder.Raw({static_cast<std::uint8_t>(2 + rng() % 250)});
        break;
    }
  }
  std::vector<std::uint8_t> bytes = builder.Bytes();
  if (rng() % 2) bytes.resize(kMessageHeaderSize + rng() % (bytes.size() - kMessageHeaderSize));
  return bytes;
}

TEST(MessageIndex, FindsEveryRecordWhereTheReaderFindsItAndEndsWhereReadingEnds) {
  std::vector<std::uint8_t> scratch(97);  // records straddle every refill
  std::atomic<bool> quit{false};
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    const std::vector<std::uint8_t> bytes = RandomMessage(seed);
    const std::string path = TempPath("random.qrv");
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);

    const Walk walk = WalkRecords(path);
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    CMessageIndex index;
    ASSERT_TRUE(index.Build(fd, kMessageHeaderSize, scratch.data(), scratch.size(), quit));
    ::close(fd);
    ASSERT_EQ(index.AudioRecords(), walk.audio.size()) << "seed " << seed;
    ASSERT_EQ(index.Pictures(), walk.pictures.size()) << "seed " << seed;
    for (std::size_t i = 0; i < walk.audio.size(); ++i) EXPECT_EQ(index.AudioRecordAt(i), walk.audio[i]) << seed;
    for (std::size_t i = 0; i < walk.pictures.size(); ++i) EXPECT_EQ(index.PictureAt(i), walk.pictures[i]) << seed;
    EXPECT_GE(index.EndOfData(), static_cast<std::int64_t>(bytes.size()) - 1) << "seed " << seed;
    // Reading from the end finds nothing more.
    CMessageFile file;
    ASSERT_EQ(file.Open(path.c_str()), OpenResult::Ok);
    ASSERT_TRUE(file.Seek(static_cast<long>(index.EndOfData())));
    std::vector<std::uint8_t> payload(kPayloadBufferBytes);
    EXPECT_EQ(file.ReadRecord(payload.data()).kind, RecordKind::EndOfData) << "seed " << seed;
    // The counts before an offset, as a seek uses them.
    if (!walk.pictures.empty()) {
      const std::size_t k = walk.pictures.size() / 2;
      EXPECT_EQ(index.PicturesBefore(walk.pictures[k]), k);
      EXPECT_EQ(index.AudioRecordsBefore(walk.pictures[k]),
                static_cast<std::size_t>(std::count_if(walk.audio.begin(), walk.audio.end(),
                                                       [&](std::int64_t a) { return a < walk.pictures[k]; })));
    }
  }
}

TEST(MessageIndex, IsCalledOffAndStartsAfresh) {
  MessageBuilder builder;
  builder.FrameRate(5);
  for (int i = 0; i < 5000; ++i) builder.SilentAudio(1).Video({1, 2, 3});
  const std::string path = builder.WriteTo(TempPath("long.qrv"));
  const int fd = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  std::vector<std::uint8_t> scratch(4096);
  CMessageIndex index;
  std::atomic<bool> quit{true};
  EXPECT_FALSE(index.Build(fd, kMessageHeaderSize, scratch.data(), scratch.size(), quit));
  quit = false;
  ASSERT_TRUE(index.Build(fd, kMessageHeaderSize, scratch.data(), scratch.size(), quit));
  EXPECT_EQ(index.AudioRecords(), 5000u);
  EXPECT_EQ(index.Pictures(), 5000u);
  ASSERT_TRUE(index.Build(fd, kMessageHeaderSize, scratch.data(), scratch.size(), quit));
  EXPECT_EQ(index.AudioRecords(), 5000u) << "a second pass does not add to the first";
  ::close(fd);
}

TEST(PictureTiming, TheLastPictureDueByAFrameIsTheOneOnScreenThen) {
  for (int rate = 1; rate <= 5; ++rate) {
    for (std::uint64_t frame = 0; frame < 600; ++frame) {
      const std::uint64_t k = LastPictureDueBy(frame, rate);
      EXPECT_LE(PictureDue(k, rate), frame) << "rate " << rate << ", frame " << frame;
      EXPECT_GT(PictureDue(k + 1, rate), frame) << "rate " << rate << ", frame " << frame;
    }
  }
  EXPECT_EQ(PictureDue(1, 3), 17u);  // 1/3 s is 16.7 frames: the first frame at or after it
}

}  // namespace
}  // namespace kestrel
