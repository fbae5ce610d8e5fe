#include "message_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "support/message_builder.h"

namespace kestrel {
namespace {

using testing::MessageBuilder;
using testing::TempPath;

std::vector<std::uint8_t> Payload() { return std::vector<std::uint8_t>(kPayloadBufferBytes + 16, 0xEE); }

OpenResult OpenBytes(CMessageFile& file, const std::vector<std::uint8_t>& bytes) {
  const std::string path = TempPath("m.qrv");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return file.Open(path.c_str());
}

// The same bytes through a pipe, which cannot seek.
OpenResult AttachPipe(CMessageFile& file, const std::vector<std::uint8_t>& bytes) {
  int ends[2];
  if (pipe(ends) != 0) return OpenResult::CannotOpen;
  fcntl(ends[1], F_SETPIPE_SZ, 1 << 20);  // room for every byte, so no writer thread is needed
  const bool written = write(ends[1], bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  close(ends[1]);
  EXPECT_TRUE(written);
  return file.Attach(fdopen(ends[0], "rb"));
}

TEST(MessageFileHeader, ChecksAreMadeInOrder) {
  CMessageFile file;
  std::vector<std::uint8_t> good = MessageBuilder().FrameRate(5).AudioFrameCount(7).Bytes();
  EXPECT_EQ(OpenBytes(file, good), OpenResult::Ok);
  EXPECT_EQ(file.FrameRate(), 5);
  EXPECT_EQ(file.AudioFrameCount(), 7u);
  EXPECT_EQ(file.DataStart(), 13);

  EXPECT_EQ(OpenBytes(file, MessageBuilder().Magic("QRV01.02").Bytes()), OpenResult::BadMagic);
  EXPECT_EQ(OpenBytes(file, MessageBuilder().Magic("qrv01.01").Bytes()), OpenResult::BadMagic);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(OpenBytes(file, {'Q', 'R', 'V'}), OpenResult::BadMagic);
  EXPECT_EQ(OpenBytes(file, std::vector<std::uint8_t>(good.begin(), good.begin() + 8)), OpenResult::MissingFrameRate);
  // A rate of 6 is refused before the (missing) count is looked at.
  std::vector<std::uint8_t> rate6(good.begin(), good.begin() + 9);
  rate6[8] = 6;
  EXPECT_EQ(OpenBytes(file, rate6), OpenResult::FrameRateTooHigh);
  EXPECT_EQ(OpenBytes(file, std::vector<std::uint8_t>(good.begin(), good.begin() + 12)), OpenResult::MissingFrameCount);
  EXPECT_FALSE(file.IsOpen());

  EXPECT_EQ(file.Open(TempPath("does-not-exist.qrv").c_str()), OpenResult::CannotOpen);
  EXPECT_NE(file.SystemError(), 0);
}

TEST(MessageFileHeader, ThirteenByteFileHasNoRecords) {
  CMessageFile file;
  ASSERT_EQ(OpenBytes(file, MessageBuilder().AudioFrameCount(0).Bytes()), OpenResult::Ok);
  EXPECT_EQ(file.AudioFrameCount(), 0u);
  auto payload = Payload();
  EXPECT_EQ(file.ReadRecord(payload.data()).kind, RecordKind::EndOfData);
}

TEST(MessageFileRecords, ReadsAudioVideoAndPassesOverOtherTypes) {
  std::vector<std::uint8_t> audio(330);
  for (int i = 0; i < 330; ++i) audio[i] = static_cast<std::uint8_t>(i);
  CMessageFile file;
  ASSERT_EQ(OpenBytes(file, MessageBuilder().Audio(audio).Raw({2}).Video({9, 8, 7}).Video({}).Bytes()), OpenResult::Ok);
  auto payload = Payload();

  Record r = file.ReadRecord(payload.data());
  EXPECT_EQ(r.kind, RecordKind::Audio);
  EXPECT_EQ(r.bytesRead, 330u);
  EXPECT_TRUE(std::equal(audio.begin(), audio.end(), payload.begin()));

  EXPECT_EQ(file.ReadRecord(payload.data()).kind, RecordKind::PassedOver);

  r = file.ReadRecord(payload.data());
  EXPECT_EQ(r.kind, RecordKind::Video);
  EXPECT_EQ(r.length, 3u);
  EXPECT_EQ(payload[0], 9);
  EXPECT_EQ(payload[2], 7);

  r = file.ReadRecord(payload.data());
  EXPECT_EQ(r.kind, RecordKind::Video);
  EXPECT_EQ(r.length, 0u);
  EXPECT_FALSE(r.CutShort());
  EXPECT_EQ(file.ReadRecord(payload.data()).kind, RecordKind::EndOfData);

  ASSERT_TRUE(file.Rewind());
  EXPECT_EQ(file.ReadRecord(payload.data()).kind, RecordKind::Audio);
}

TEST(MessageFileRecords, OversizeVideoIsSkippedWithoutTouchingTheBufferInFilesAndPipes) {
  const std::uint16_t lengths[] = {16385, 0x8000, 0xFFFF};
  for (auto open : {OpenBytes, AttachPipe}) {
    for (std::uint16_t length : lengths) {
      std::vector<std::uint8_t> big(length, 0x55);
      CMessageFile file;
      ASSERT_EQ(open(file, MessageBuilder().VideoWithLength(length, big).Video({1, 2}).Bytes()), OpenResult::Ok);
      auto payload = Payload();
      Record r = file.ReadRecord(payload.data());
      EXPECT_EQ(r.kind, RecordKind::OversizeVideo);
      EXPECT_EQ(r.length, length);
      EXPECT_EQ(r.bytesRead, 0u);
      EXPECT_EQ(payload[0], 0xEE);
      EXPECT_EQ(payload[kPayloadBufferBytes - 1], 0xEE);
      r = file.ReadRecord(payload.data());
      EXPECT_EQ(r.kind, RecordKind::Video) << "the next record is read normally";
      EXPECT_EQ(r.length, 2u);
    }
  }
  // 16384 itself fits.
  CMessageFile file;
  ASSERT_EQ(OpenBytes(file, MessageBuilder().Video(std::vector<std::uint8_t>(16384, 3)).Bytes()), OpenResult::Ok);
  auto payload = Payload();
  EXPECT_EQ(file.ReadRecord(payload.data()).bytesRead, 16384u);
}

TEST(MessageFileRecords, RecordsCutShortAreDeliveredWithWhatWasRead) {
  CMessageFile file;
  auto payload = Payload();
  ASSERT_EQ(OpenBytes(file, MessageBuilder().Raw({0, 1, 2, 3}).Bytes()), OpenResult::Ok);
  Record r = file.ReadRecord(payload.data());
  EXPECT_EQ(r.kind, RecordKind::Audio);
  EXPECT_EQ(r.bytesRead, 3u);
  EXPECT_TRUE(r.CutShort());
  EXPECT_EQ(payload[2], 3);
  EXPECT_EQ(payload[3], 0) << "missing audio bytes read as zeros";
  EXPECT_EQ(payload[329], 0);
  EXPECT_EQ(file.ReadRecord(payload.data()).kind, RecordKind::EndOfData);

  ASSERT_EQ(OpenBytes(file, MessageBuilder().VideoWithLength(100, {5, 6}).Bytes()), OpenResult::Ok);
  r = file.ReadRecord(payload.data());
  EXPECT_EQ(r.kind, RecordKind::Video);
  EXPECT_EQ(r.length, 100u);
  EXPECT_EQ(r.bytesRead, 2u);
  EXPECT_EQ(file.ReadRecord(payload.data()).kind, RecordKind::EndOfData);

  ASSERT_EQ(OpenBytes(file, MessageBuilder().Raw({1, 7}).Bytes()), OpenResult::Ok);
  r = file.ReadRecord(payload.data());
  EXPECT_EQ(r.kind, RecordKind::Video);
  EXPECT_TRUE(r.CutShort());
  EXPECT_EQ(r.bytesRead, 0u);
}

}  // namespace
}  // namespace kestrel
