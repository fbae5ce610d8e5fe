#include <gtest/gtest.h>
#include <png.h>
#include <sndfile.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "audio_decoder.h"
#include "md5_digest.h"
#include "message_file.h"
#include "message_format.h"
#include "qrvtool.h"
#include "reporter.h"
#include "support/message_builder.h"
#include "tool_runner.h"
#include "video_decoder.h"

namespace kestrel::tool {
namespace {

using kestrel::testing::Encode;
using kestrel::testing::MessageBuilder;
using kestrel::testing::RandomFrame;
using kestrel::testing::TempPath;
using kestrel::testing::ValueSpread;

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

QJsonObject ParseJson(const std::string& text) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
  return document.object();
}

std::vector<std::uint8_t> Payload(std::uint32_t seed) { return Encode(RandomFrame(seed, ValueSpread::AsFrequencies)); }

TEST(QrvtoolInfo, CountsRecordsAndJudgesWellFormedness) {
  const std::string good = MessageBuilder()
                               .FrameRate(5)
                               .Video(Payload(1))
                               .ToneAudio(2)
                               .Raw({7, 9})
                               .Video(Payload(2))
                               .ToneAudio(1)
                               .WriteTo(TempPath("good.qrv"));
  ToolRun r = RunTool({"info", good, "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  QJsonObject json = ParseJson(r.out);
  EXPECT_EQ(json["frame_rate"].toInt(), 5) << r.out;
  EXPECT_EQ(json["audio_frame_count"].toInt(), 30);
  EXPECT_DOUBLE_EQ(json["duration_seconds"].toDouble(), 0.6);
  EXPECT_EQ(json["audio_records"].toInt(), 3);
  EXPECT_EQ(json["video_records"].toInt(), 2);
  EXPECT_EQ(json["passed_over_bytes"].toInt(), 2);
  EXPECT_TRUE(json["well_formed"].toBool());
  const auto smallest = std::min(Payload(1).size(), Payload(2).size());
  EXPECT_EQ(json["video_payload_bytes"].toObject()["smallest"].toInt(), int(smallest));

  r = RunTool({"info", good});
  EXPECT_NE(r.out.find("well formed:        yes"), std::string::npos) << r.out;

  // Each fault alone makes the file not well formed.
  auto mismatched = testing::EmptyFrame();
  mismatched.coarseCount = 12;  // no block is coded
  const std::vector<std::string> bad = {
      MessageBuilder()
          .ToneAudio(1)
          .VideoWithLength(20000, std::vector<std::uint8_t>(20000, 0))
          .WriteTo(TempPath("big.qrv")),
      MessageBuilder().ToneAudio(1).VideoWithLength(900, Payload(3)).WriteTo(TempPath("cut.qrv")),
      MessageBuilder().ToneAudio(1).Video(Encode(mismatched)).WriteTo(TempPath("counts.qrv")),
      MessageBuilder().ToneAudio(1).AudioFrameCount(11).WriteTo(TempPath("count.qrv")),
  };
  const char* fault[] = {"oversize_records", "cut_short_records", "malformed_payloads", "count_matches_records"};
  for (std::size_t i = 0; i < bad.size(); ++i) {
    r = RunTool({"info", bad[i], "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    json = ParseJson(r.out);
    EXPECT_EQ(json[fault[i]].toVariant(), i == 3 ? QVariant(false) : QVariant(1)) << r.out;
    EXPECT_FALSE(json["well_formed"].toBool()) << r.out;
  }
}

TEST(QrvtoolInfo, JsonIsValidForNamesThatAreNotUtf8) {
  const std::string path = TempPath("caf\xE9 \"1\".qrv");
  std::filesystem::copy_file(MessageBuilder().ToneAudio(1).WriteTo(TempPath("plain.qrv")), path);
  const ToolRun r = RunTool({"info", path, "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const QJsonObject json = ParseJson(r.out);
  EXPECT_TRUE(json["file"].toString().endsWith(QStringLiteral("caf\uFFFD \"1\".qrv"))) << r.out;
  // The exact bytes come back from the percent-encoded name.
  EXPECT_EQ(QByteArray::fromPercentEncoding(json["path_bytes"].toString().toLatin1()).toStdString(), path);
  EXPECT_FALSE(ParseJson(RunTool({"info", TempPath("plain.qrv"), "--json"}).out).contains("path_bytes"));
}

TEST(QrvtoolErrors, HeaderFailuresNameTheReasonAndUnreadableFilesTheSystemError) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    const char* reason;
  } cases[] = {
      {MessageBuilder().Magic("QRV01.00").Bytes(), "bad magic"},
      {MessageBuilder().FrameRate(6).Bytes(), "frame rate above 5"},
      {std::vector<std::uint8_t>{'Q', 'R', 'V', '0', '1', '.', '0', '1', 1, 0}, "cut short"},
  };
  for (const Case& c : cases) {
    const std::string path = TempPath("bad.qrv");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(c.bytes.data()), c.bytes.size());
    for (const char* command : {"info", "decode"}) {
      ToolRun r = RunTool({command, path});
      EXPECT_EQ(r.status, 2) << command;
      EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;
    }
  }
  ToolRun r = RunTool({"decode", TempPath("missing.qrv"), "--pcm", TempPath("never.pcm")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(TempPath("never.pcm"))) << "no output for a file that is not a message";

  // Inputs that are no files are named for what they are.
  for (const auto& [input, reason] : {std::pair{TempPath(""), "Is a directory"}, {"/dev/null", "character device"}}) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", input}, {"decode", input}, {"thumbnail", input, TempPath("t.png")}}) {
      r = RunTool(args);
      EXPECT_EQ(r.status, 1) << args[0] << " " << input;
      EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    }
  }

  EXPECT_EQ(Qrvtool({"decode", "x.qrv", "--bogus"}), 2);
  EXPECT_EQ(Qrvtool({"frobnicate"}), 2);
}

TEST(QrvtoolProgress, LineEndsBeforeAnyOtherOutputAndShowsOneHundredOnce) {
  struct Run {
    std::ostringstream out, err;
  };
  auto report = [](Run& run, bool wanted) {
    return std::make_unique<Reporter>(run.out, run.err, wanted, std::chrono::seconds(0));
  };
  Run reached, completed, failed, unwanted;
  {
    auto r = report(reached, true);
    r->StartProgress("encoding");
    for (double fraction : {0.5, 0.501, 1.0}) r->Progress(fraction);
    r->CompleteProgress();
    r->Out() << "summary\n";
  }
  EXPECT_EQ(reached.err.str(), "\rencoding: 50%\rencoding: 100%\n");
  EXPECT_EQ(reached.out.str(), "summary\n");
  {
    auto r = report(completed, true);
    r->StartProgress("decoding");
    r->Progress(0.5);
    r->CompleteProgress();
  }
  EXPECT_EQ(completed.err.str(), "\rdecoding: 50%\rdecoding: 100%\n");
  {
    auto r = report(failed, true);
    r->StartProgress("decoding");
    r->Progress(0.4);
    EXPECT_EQ(r->Fail(1, "x.wav", "No space left on device"), 1);
  }
  EXPECT_EQ(failed.err.str(), "\rdecoding: 40%\nqrvtool: x.wav: No space left on device\n");
  {
    auto r = report(unwanted, false);
    r->StartProgress("decoding");
    r->Progress(0.5);
    r->CompleteProgress();
  }
  EXPECT_EQ(unwanted.err.str(), "");
}

class QrvtoolDecode : public ::testing::Test {
 protected:
  void SetUp() override {
    // Frame rate 0 with pictures anyway: the tool decodes every video record.
    message = MessageBuilder()
                  .FrameRate(0)
                  .ToneAudio(2)
                  .Video(Payload(5))
                  .ToneAudio(1)
                  .Video(Payload(6))
                  .Raw({3})
                  .WriteTo(TempPath("m.qrv"));
    // The same decoding done here directly: one audio state for the file.
    AudioDecoderState* audio = CreateAudioDecoder();
    CVideoDecoder video;
    ASSERT_TRUE(video.Init());
    CMessageFile file;
    ASSERT_EQ(file.Open(message.c_str()), OpenResult::Ok);
    std::vector<std::uint8_t> payload(kPayloadBufferBytes), picture(kPictureBytes);
    for (Record rec; (rec = file.ReadRecord(payload.data())).kind != RecordKind::EndOfData;) {
      if (rec.kind == RecordKind::Audio)
        for (int f = 0; f < 10; ++f) {
          std::int16_t block[160];
          DecodeAudioFrame(audio, payload.data() + 33 * f, block);
          samples.insert(samples.end(), block, block + 160);
        }
      if (rec.kind == RecordKind::Video) {
        video.Decode(payload.data(), rec.bytesRead, picture.data(), false);
        pictures.insert(pictures.end(), picture.begin(), picture.end());
      }
    }
    DestroyAudioDecoder(audio);
  }
  std::string message;
  std::vector<std::int16_t> samples;
  std::vector<std::uint8_t> pictures;
};

TEST_F(QrvtoolDecode, RawOutputsAndDigestsMatchTheDecoders) {
  const std::string pcm = TempPath("out.pcm"), bgr = TempPath("out.bgr");
  ToolRun r = RunTool({"decode", message, "--pcm", pcm, "--bgr", bgr, "--md5"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto pcmBytes = ReadFile(pcm);
  ASSERT_EQ(pcmBytes.size(), 3u * 10 * 160 * 2);
  EXPECT_EQ(std::memcmp(pcmBytes.data(), samples.data(), pcmBytes.size()), 0);
  EXPECT_EQ(ReadFile(bgr), pictures);
  ASSERT_EQ(pictures.size(), 2 * kPictureBytes);

  Md5Digest pcmMd5, bgrMd5;
  pcmMd5.Update(pcmBytes.data(), pcmBytes.size());
  bgrMd5.Update(pictures.data(), pictures.size());
  EXPECT_NE(r.out.find("pcm md5 " + pcmMd5.Hex()), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("bgr md5 " + bgrMd5.Hex()), std::string::npos) << r.out;
}

TEST_F(QrvtoolDecode, WavPngAndY4mCarryTheSameContent) {
  const std::string wav = TempPath("out.wav"), dir = TempPath("png"), y4m = TempPath("out.y4m");
  std::filesystem::remove_all(dir);
  ToolRun r = RunTool({"decode", message, "--wav", wav, "--png", dir, "--y4m", y4m});
  ASSERT_EQ(r.status, 0) << r.err;

  SF_INFO info{};
  SNDFILE* sf = sf_open(wav.c_str(), SFM_READ, &info);
  ASSERT_NE(sf, nullptr);
  EXPECT_EQ(info.samplerate, 8000);
  EXPECT_EQ(info.channels, 1);
  std::vector<std::int16_t> read(samples.size() + 10);
  EXPECT_EQ(sf_read_short(sf, read.data(), static_cast<sf_count_t>(read.size())),
            static_cast<sf_count_t>(samples.size()));
  sf_close(sf);
  read.resize(samples.size());
  EXPECT_EQ(read, samples);

  // PNGs are upright: their top row is the decoded picture's last row.
  for (int i = 1; i <= 2; ++i) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    const std::string file = dir + "/frame-0000" + std::to_string(i) + ".png";
    ASSERT_TRUE(png_image_begin_read_from_file(&image, file.c_str())) << file;
    image.format = PNG_FORMAT_BGR;
    std::vector<std::uint8_t> bgrRows(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, bgrRows.data(), 0, nullptr));
    ASSERT_EQ(image.width, 320u);
    ASSERT_EQ(image.height, 240u);
    const std::uint8_t* decoded = pictures.data() + (i - 1) * kPictureBytes;
    for (int y = 0; y < 240; ++y)
      ASSERT_EQ(std::memcmp(bgrRows.data() + y * 960, decoded + (239 - y) * 960, 960), 0)
          << "frame " << i << " row " << y;
  }
  EXPECT_FALSE(std::filesystem::exists(dir + "/frame-00003.png"));

  const auto y4mBytes = ReadFile(y4m);
  const std::string header = "YUV4MPEG2 W320 H240 F5:1 Ip A1:1 C420jpeg\n";
  ASSERT_GE(y4mBytes.size(), header.size());
  EXPECT_EQ(std::string(y4mBytes.begin(), y4mBytes.begin() + header.size()), header);
  EXPECT_EQ(y4mBytes.size(), header.size() + 2 * (6 + 320 * 240 * 3 / 2));
}

}  // namespace
}  // namespace kestrel::tool
