#include <gsm.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <QImage>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "audio_input.h"
#include "message_file.h"
#include "message_format.h"
#include "qrvtool.h"
#include "support/message_builder.h"
#include "support/test_pictures.h"
#include "tool_runner.h"

namespace kestrel::tool {
namespace {

using kestrel::testing::TempPath;

// A recorded voice stand-in: a gliding tone with harmonics, stereo, 44.1 kHz.
std::string WriteVoice(const std::string& name, double seconds, int rate = 44100, int channels = 2) {
  const std::string path = TempPath(name);
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  std::vector<float> frame(channels);
  double phase = 0;
  for (int i = 0; i < int(seconds * rate); ++i) {
    const double t = double(i) / rate;
    phase += 2 * M_PI * (180 + 120 * std::sin(2 * M_PI * 1.3 * t)) / rate;
    const double v = 0.4 * std::sin(phase) + 0.15 * std::sin(3 * phase) + 0.05 * std::sin(7 * phase);
    for (int c = 0; c < channels; ++c) frame[c] = static_cast<float>(v * (c == 0 ? 1.0 : 0.8));
    sf_writef_float(f, frame.data(), 1);
  }
  sf_close(f);
  return path;
}

std::vector<std::int16_t> DecodePcm(const std::string& message) {
  const std::string pcm = TempPath("decoded.pcm");
  EXPECT_EQ(Qrvtool({"decode", message, "--pcm", pcm}), 0);
  std::ifstream in(pcm, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  std::vector<std::int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

struct RecordSequence {
  std::string kinds;  // 'a' audio, 'v' video, in file order
  std::uint8_t rate = 0;
  std::uint32_t count = 0;
};

RecordSequence Records(const std::string& message) {
  RecordSequence seq;
  CMessageFile file;
  EXPECT_EQ(file.Open(message.c_str()), OpenResult::Ok);
  seq.rate = file.FrameRate();
  seq.count = file.AudioFrameCount();
  std::vector<std::uint8_t> payload(kPayloadBufferBytes);
  for (Record r; (r = file.ReadRecord(payload.data())).kind != RecordKind::EndOfData;)
    seq.kinds += r.kind == RecordKind::Audio ? 'a' : r.kind == RecordKind::Video ? 'v' : '?';
  return seq;
}

TEST(QrvtoolEncodeAudio, DecodesToWhatLibgsmGivesForTheResampledInput) {
  const std::string voice = WriteVoice("voice.wav", 1.03);
  std::vector<std::int16_t> resampled;
  std::string why;
  ASSERT_TRUE(LoadAudioAt8k(voice, resampled, &why)) << why;
  EXPECT_NEAR(double(resampled.size()), 1.03 * 8000, 2);

  const std::string message = TempPath("voice.qrv");
  ASSERT_EQ(Qrvtool({"encode", "--audio", voice, "-o", message}, &why), 0) << why;
  const RecordSequence seq = Records(message);
  const std::size_t records = (resampled.size() + 1599) / 1600;
  EXPECT_EQ(seq.kinds, std::string(records, 'a'));
  EXPECT_EQ(seq.count, records * 10);
  EXPECT_EQ(seq.rate, 0);

  // libgsm's own encode-then-decode of the same samples, padded with silence.
  resampled.resize(records * 1600, 0);
  gsm encoder = gsm_create(), decoder = gsm_create();
  std::vector<std::int16_t> expected(resampled.size());
  for (std::size_t f = 0; f < resampled.size() / 160; ++f) {
    gsm_byte frame[33];
    gsm_encode(encoder, resampled.data() + 160 * f, frame);
    gsm_decode(decoder, frame, expected.data() + 160 * f);
  }
  gsm_destroy(encoder);
  gsm_destroy(decoder);
  EXPECT_EQ(DecodePcm(message), expected);
}

TEST(QrvtoolEncodeAudio, ResamplesAnyRateAndChannelCount) {
  // A mono 8 kHz file passes unchanged; 48 kHz stereo comes out at 8 kHz.
  std::vector<std::int16_t> mono, stereo;
  ASSERT_TRUE(LoadAudioAt8k(WriteVoice("mono8k.wav", 0.5, 8000, 1), mono, nullptr));
  EXPECT_EQ(mono.size(), 4000u);
  ASSERT_TRUE(LoadAudioAt8k(WriteVoice("stereo48k.wav", 0.5, 48000, 2), stereo, nullptr));
  EXPECT_NEAR(double(stereo.size()), 4000, 2);
  // The mean of the channels (1.0 and 0.8 of the signal) is 0.9 of it.
  auto rms = [](const std::vector<std::int16_t>& v) {
    double sum = 0;
    for (auto s : v) sum += double(s) * s;
    return std::sqrt(sum / double(v.size()));
  };
  EXPECT_NEAR(rms(stereo) / rms(mono), 0.9, 0.02);
}

TEST(QrvtoolEncodeVideo, PicturesGoBeforeTheFirstRecordAtOrAfterTheirTime) {
  const std::string dir = TempPath("pictures");
  std::filesystem::create_directories(dir);
  for (int i = 0; i < 4; ++i) {
    QImage image(64, 48, QImage::Format_RGB888);
    image.fill(QColor(60 * i, 100, 200 - 40 * i));
    if (i == 0)  // upright: white above, black below
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) image.setPixelColor(x, y, y < 24 ? Qt::white : Qt::black);
    ASSERT_TRUE(image.save(QString::fromStdString(dir + "/p" + std::to_string(i) + (i % 2 ? ".bmp" : ".png"))));
  }
  std::ofstream(dir + "/notes.txt") << "not a picture";
  const std::string voice = WriteVoice("short.wav", 0.3);
  const std::string message = TempPath("video.qrv");
  std::string why;
  ASSERT_EQ(Qrvtool({"encode", "--audio", voice, "--video", dir, "--fps", "2", "-o", message}, &why), 0) << why;
  // Pictures at 0, 500, 1000, 1500 ms; records every 200 ms; the sound is
  // padded to cover the last picture (2000 ms = 10 records).
  const RecordSequence seq = Records(message);
  EXPECT_EQ(seq.rate, 2);
  EXPECT_EQ(seq.kinds, "vaaavaavaaavaa");
  EXPECT_EQ(seq.count, 100u);
  const ToolRun info = RunTool({"info", message});
  ASSERT_EQ(info.status, 0);
  EXPECT_NE(info.out.find("well formed:        yes"), std::string::npos) << info.out;

  // The first picture is stored bottom line first: its last row is the white top.
  const std::string bgr = TempPath("pictures.bgr");
  ASSERT_EQ(Qrvtool({"decode", message, "--bgr", bgr}), 0);
  std::ifstream in(bgr, std::ios::binary);
  std::vector<unsigned char> first(kPictureBytes);
  in.read(reinterpret_cast<char*>(first.data()), kPictureBytes);
  EXPECT_GT(first[239 * 960 + 160 * 3 + 1], 200);
  EXPECT_LT(first[0 * 960 + 160 * 3 + 1], 50);
}

TEST(QrvtoolEncodeVideo, Y4mFramesAreRepeatedOrDroppedToTheRate) {
  // 10 frames at 10 per second, frame i grey level 20 i.
  const std::string y4m = TempPath("ramp.y4m");
  {
    std::ofstream out(y4m, std::ios::binary);
    out << "YUV4MPEG2 W32 H24 F10:1 Ip A1:1 C420jpeg\n";
    for (int i = 0; i < 10; ++i) {
      out << "FRAME\n";
      out << std::string(32 * 24, char(16 + 20 * i)) << std::string(2 * 16 * 12, char(128));
    }
  }
  const std::string voice = WriteVoice("one.wav", 1.0);
  for (int fps : {5, 2}) {
    const std::string message = TempPath("y4m" + std::to_string(fps) + ".qrv");
    std::string why;
    ASSERT_EQ(Qrvtool({"encode", "--audio", voice, "--video", y4m, "--fps", std::to_string(fps), "-o", message}, &why),
              0)
        << why;
    const std::string bgr = TempPath("y4m.bgr");
    ASSERT_EQ(Qrvtool({"decode", message, "--bgr", bgr}), 0);
    std::ifstream in(bgr, std::ios::binary);
    std::vector<unsigned char> pictures((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(pictures.size(), std::size_t(fps) * kPictureBytes) << fps;
    for (int k = 0; k < fps; ++k) {
      // Picture k shows source frame 10 k / fps; the centre pixel's grey
      // (studio range) follows the frame's level.
      const int source = 10 * k / fps;
      const unsigned char centre = pictures[k * kPictureBytes + 120 * 960 + 160 * 3 + 1];
      EXPECT_NEAR(centre, (20.0 * source) * 255 / 219, 6) << "fps " << fps << " picture " << k;
    }
  }
}

TEST(QrvtoolEncodeErrors, BadInputIsRefusedWithItsStatusAndLeavesNothing) {
  const std::string dir = TempPath("out");
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string voice = WriteVoice("ok.wav", 0.2);
  const std::string empty = TempPath("empty");
  std::filesystem::create_directories(empty);
  std::ofstream(TempPath("noise.wav")) << "this is not a sound file";
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* says;
    int lines;  // a usage error adds the hint
  } cases[] = {
      {{"encode", "--audio", TempPath("missing.wav"), "-o", dir + "/a.qrv"}, 1, "missing.wav: No such file", 1},
      {{"encode", "--audio", empty, "-o", dir + "/a.qrv"}, 1, "Is a directory", 1},
      {{"encode", "--audio", TempPath("noise.wav"), "-o", dir + "/a.qrv"}, 2, "noise.wav", 1},
      {{"encode", "--audio", voice, "--fps", "6", "-o", dir + "/a.qrv"}, 2, "--fps", 2},
      {{"encode", "--audio", voice, "--fps", "5x", "-o", dir + "/a.qrv"}, 2, "--fps", 2},
      {{"encode", "--audio", voice, "--video", empty, "-o", dir + "/a.qrv"}, 2, "no PNG", 1},
      {{"encode", "--audio", voice, "--video", voice, "-o", dir + "/a.qrv"}, 2, "YUV4MPEG2", 1},
      {{"encode", "--audio", voice, "-o", voice}, 2, "is an input", 1},
  };
  for (const Case& c : cases) {
    std::string err;
    EXPECT_EQ(Qrvtool(c.args, &err), c.status) << c.says;
    EXPECT_NE(err.find(c.says), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), c.lines) << err;
  }
  std::string err;
  EXPECT_EQ(Qrvtool({"encode", "--audio", voice, "-o", TempPath("no/such/dir/a.qrv")}, &err), 1) << err;
  EXPECT_TRUE(std::filesystem::is_empty(dir)) << "no partial or temporary file";

  // An existing message is only replaced by a complete one, and never under -n.
  const std::string kept = dir + "/kept.qrv";
  std::ofstream(kept) << "old";
  EXPECT_EQ(Qrvtool({"encode", "--audio", voice, "--video", empty, "-o", kept}), 2);
  EXPECT_EQ(Qrvtool({"encode", "-n", "--audio", voice, "-o", kept}, &err), 1);
  EXPECT_NE(err.find("not overwritten"), std::string::npos) << err;
  std::ifstream in(kept);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "old");
}

}  // namespace
}  // namespace kestrel::tool
