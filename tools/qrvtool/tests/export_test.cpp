#include <gtest/gtest.h>

#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "message_format.h"
#include "qrvtool.h"
#include "support/message_builder.h"
#include "support/test_pictures.h"
#include "tool_runner.h"
#include "video_encoder.h"

namespace kestrel::tool {
namespace {

using kestrel::testing::MessageBuilder;
using kestrel::testing::TempPath;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::string Capture(const std::string& command) {
  std::string output;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, p)) output += buffer;
    pclose(p);
  }
  return output;
}

// Two seconds at 5 pictures per second: the clock card turning.
std::string VideoMessage() {
  CVideoEncoder encoder;
  MessageBuilder builder;
  builder.FrameRate(5);
  for (int j = 0; j < 10; ++j) {
    builder.Video(encoder.Encode(kestrel::testing::DrawTestPicture(5, j).data()));
    builder.ToneAudio(1, 300 + 20 * j, j);
  }
  return builder.WriteTo(TempPath("video.qrv"));
}

class PathOverride {
 public:
  explicit PathOverride(const std::string& value) : old_(std::getenv("PATH") ? std::getenv("PATH") : "") {
    setenv("PATH", value.c_str(), 1);
  }
  ~PathOverride() { setenv("PATH", old_.c_str(), 1); }

 private:
  std::string old_;
};

TEST(QrvtoolExport, WavAndY4mAreWrittenByTheToolItself) {
  const std::string message = VideoMessage();
  const std::string wav = TempPath("a.wav"), y4m = TempPath("a.y4m");
  ASSERT_EQ(Qrvtool({"export", message, "-o", wav}), 0);
  ASSERT_EQ(Qrvtool({"decode", message, "--wav", TempPath("b.wav")}), 0);
  EXPECT_EQ(Slurp(wav), Slurp(TempPath("b.wav")));
  ASSERT_EQ(Qrvtool({"export", message, "-o", y4m}), 0);
  EXPECT_EQ(Slurp(y4m).size(), std::string("YUV4MPEG2 W320 H240 F5:1 Ip A1:1 C420jpeg\n").size() + 10 * (6 + 115200));

  const std::string voice = MessageBuilder().ToneAudio(2).WriteTo(TempPath("voice.qrv"));
  std::string err;
  EXPECT_EQ(Qrvtool({"export", voice, "-o", TempPath("v.y4m")}, &err), 2);
  EXPECT_NE(err.find("no pictures"), std::string::npos) << err;
  EXPECT_EQ(Qrvtool({"export", voice, "-o", TempPath("v.avi")}, &err), 2);
}

TEST(QrvtoolExport, Mp4AndWebmNeedFfmpegAndSayIfItIsMissing) {
  const std::string message = VideoMessage();
  std::filesystem::remove(TempPath("x.mp4"));
  {
    PathOverride none(TempPath("empty-path"));
    std::string err;
    EXPECT_EQ(Qrvtool({"export", message, "-o", TempPath("x.mp4")}, &err), 1);
    EXPECT_NE(err.find("ffmpeg"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(TempPath("x.mp4")));
  }
  if (Capture("command -v ffprobe").empty()) GTEST_FAIL() << "ffmpeg and ffprobe should be installed by the set-up";
  for (const char* ext : {".mp4", ".webm"}) {
    const std::string target = TempPath(std::string("x") + ext);
    std::string err;
    ASSERT_EQ(Qrvtool({"export", message, "-o", target}, &err), 0) << err;
    // Both streams last the message's two seconds and start together.
    const std::string streams =
        Capture("ffprobe -v error -show_entries stream=codec_type,start_time,duration -of csv=p=0 '" + target + "'");
    EXPECT_NE(streams.find("video"), std::string::npos) << streams;
    EXPECT_NE(streams.find("audio"), std::string::npos) << streams;
    const std::string duration = Capture("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + target + "'");
    EXPECT_NEAR(std::atof(duration.c_str()), 2.0, 0.15) << ext << " " << duration;
  }
}

TEST(QrvtoolThumbnail, FirstPictureOrWaveformScaledToFit) {
  const std::string message = VideoMessage();
  const std::string png = TempPath("thumb.png");
  ASSERT_EQ(Qrvtool({"thumbnail", message, png}), 0);
  QImage thumb(QString::fromStdString(png));
  ASSERT_FALSE(thumb.isNull());
  EXPECT_EQ(thumb.size(), QSize(128, 96));
  // The clock card: a light face in the middle on a dark blue-grey ground.
  EXPECT_GT(qGray(thumb.pixel(40, 48)), 200);
  EXPECT_LT(qGray(thumb.pixel(2, 2)), 90);

  ASSERT_EQ(Qrvtool({"thumbnail", message, png, "40"}), 0);
  EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(40, 30));

  const std::string voice = MessageBuilder().ToneAudio(5).WriteTo(TempPath("voice.qrv"));
  ASSERT_EQ(Qrvtool({"thumbnail", voice, png, "320"}), 0);
  QImage wave(QString::fromStdString(png));
  ASSERT_EQ(wave.size(), QSize(320, 240));
  int green = 0;
  for (int y = 0; y < 240; ++y) green += qGreen(wave.pixel(100, y)) > 200 && qRed(wave.pixel(100, y)) < 80;
  EXPECT_GT(green, 40) << "a loud tone fills much of each column";
  EXPECT_EQ(qGreen(wave.pixel(100, 2)), 0) << "but not the whole height";

  std::string err;
  EXPECT_EQ(Qrvtool({"thumbnail", message, png, "0"}, &err), 2);
  EXPECT_EQ(Qrvtool({"thumbnail", TempPath("missing.qrv"), png}, &err), 1);
}

}  // namespace
}  // namespace kestrel::tool
