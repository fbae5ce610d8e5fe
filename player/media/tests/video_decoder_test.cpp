#include "video_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "colour_conversion.h"
#include "message_format.h"
#include "support/message_builder.h"
#include "video_decoder_api.h"
#include "video_kernels.h"

namespace kestrel {
namespace {

using testing::EmptyFrame;
using testing::Encode;
using testing::RandomFrame;
using testing::ValueSpread;

using Picture = std::vector<std::uint8_t>;

struct Decoded {
  Picture picture = Picture(kPictureBytes, 0xCD);
  bool ok = false;
};

Decoded DecodeWith(CVideoDecoder& decoder, const std::vector<std::uint8_t>& payload) {
  Decoded d;
  d.ok = decoder.Decode(payload.data(), payload.size(), d.picture.data(), false);
  return d;
}

class VideoDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(decoder.Init()); }
  float Y(int x, int y) const { return decoder.Plane(0)[y * 320 + x]; }
  CVideoDecoder decoder;
};

TEST_F(VideoDecoderTest, BlackPayloadGivesZeroPictureAtEveryQuality) {
  auto frame = EmptyFrame();
  frame.skipMap[kSkipMapBytes - 1] = 0xFF;  // bits 300-303 set too: never looked at
  const auto payload = Encode(frame);
  for (std::int8_t q = 0; q <= 3; ++q) {
    ASSERT_TRUE(decoder.SetQuality(q));
    Decoded d = DecodeWith(decoder, payload);
    ASSERT_TRUE(d.ok);
    EXPECT_TRUE(std::all_of(d.picture.begin(), d.picture.end(), [](auto b) { return b == 0; })) << int(q);
  }
}

TEST_F(VideoDecoderTest, LumaBaseOfHundredGivesTheKnownGreyCounts) {
  auto frame = EmptyFrame();
  frame.values[0] = 100;
  const auto payload = Encode(frame);
  for (VideoPath path : {VideoPath::Reference, VideoPath::Sse2, VideoPath::Avx2}) {
    if (!decoder.UsePath(path)) continue;
    Decoded d = DecodeWith(decoder, payload);
    int hundred = 0, ninetyNine = 0, other = 0;
    for (std::size_t i = 0; i < kPictureBytes; i += 3) {
      ASSERT_TRUE(d.picture[i] == d.picture[i + 1] && d.picture[i] == d.picture[i + 2]) << "grey at " << i;
      (d.picture[i] == 100 ? hundred : d.picture[i] == 99 ? ninetyNine : other)++;
    }
    EXPECT_EQ(hundred, 43259) << PathName(path);
    EXPECT_EQ(ninetyNine, 33541);
    EXPECT_EQ(other, 0);
    const std::uint8_t row0[] = {99, 99, 100, 100, 99, 100, 100, 99};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(d.picture[3 * x], row0[x]) << "x " << x;
  }
}

TEST_F(VideoDecoderTest, BaseDifferencesFeedForwardAndWrapAtSixteenBits) {
  auto frame = EmptyFrame();
  frame.values[0] = 1;
  ASSERT_TRUE(decoder.DecodeCoefficients(Encode(frame).data(), Encode(frame).size()));
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(Y(x, y), 8.0f) << x << "," << y;
  EXPECT_EQ(Y(40, 0), 0.0f);
  EXPECT_EQ(Y(0, 30), 0.0f);

  frame = EmptyFrame();
  frame.values[40] = 1;  // start of row 1
  auto payload = Encode(frame);
  decoder.DecodeCoefficients(payload.data(), payload.size());
  for (int x = 0; x < 40; ++x) EXPECT_EQ(Y(x, 0), 0.0f);
  for (int y = 1; y < 30; ++y) EXPECT_EQ(Y(39, y), 8.0f);

  // Running sum 4096 times step 8 = 32768, which wraps to -32768.
  frame = EmptyFrame();
  for (int i = 0; i < 13; ++i) frame.values[i] = 300;
  frame.values[13] = 196;
  payload = Encode(frame);
  decoder.DecodeCoefficients(payload.data(), payload.size());
  EXPECT_EQ(Y(12, 0), float(std::int16_t(3900 * 8)));
  EXPECT_EQ(Y(13, 0), -32768.0f);

  // U and V: their own steps (14) in their own 20 x 15 base bands.
  frame = EmptyFrame();
  frame.values[1200] = 2;
  frame.values[1500] = -3;
  payload = Encode(frame);
  decoder.DecodeCoefficients(payload.data(), payload.size());
  EXPECT_EQ(decoder.Plane(1)[14 * 320 + 19], 28.0f);
  EXPECT_EQ(decoder.Plane(1)[15 * 320], 0.0f);
  EXPECT_EQ(decoder.Plane(2)[14 * 320 + 19], -42.0f);
  EXPECT_EQ(decoder.Plane(2)[20], 0.0f);
}

// The planes are not cleared at Init, so nothing may be read from them before
// coefficients were placed, and a fast-path decode places none.
TEST_F(VideoDecoderTest, PlanesAreOfferedOnlyOnceCoefficientsWerePlaced) {
  EXPECT_EQ(decoder.Plane(0), nullptr);
  const auto payload = Encode(EmptyFrame());
  Picture picture(kPictureBytes);
  if (decoder.UsePath(BestVideoPath()) && BestVideoPath() != VideoPath::Reference) {
    ASSERT_TRUE(decoder.Decode(payload.data(), payload.size(), picture.data(), false));
    EXPECT_EQ(decoder.Plane(0), nullptr);
  }
  ASSERT_TRUE(decoder.DecodeCoefficients(payload.data(), payload.size()));
  ASSERT_NE(decoder.Plane(2), nullptr);
  EXPECT_EQ(decoder.Plane(2)[kPictureWidth * kPictureHeight - 1], 0.0f);
  ASSERT_TRUE(decoder.Init());
  EXPECT_EQ(decoder.Plane(0), nullptr) << "a new Init starts over";
}

TEST_F(VideoDecoderTest, DetailValuesFillTheirBandsBlockByBlock) {
  auto frame = EmptyFrame();
  // Blocks 0 and 21 (column 1, row 1) coded; block 0 takes the first values.
  frame.SetBlockSkipped(0, false);
  frame.SetBlockSkipped(21, false);
  frame.coarseCount = 24;
  frame.fineCount = 64;
  for (int i = 0; i < 12; ++i) frame.values[1800 + 12 + i] = static_cast<std::int16_t>(i + 1);
  for (int i = 0; i < 32; ++i) frame.values[5400 + 32 + i] = static_cast<std::int16_t>(i + 1 - 16);
  const auto payload = Encode(frame);
  ASSERT_TRUE(decoder.DecodeCoefficients(payload.data(), payload.size()));
  EXPECT_TRUE(decoder.LastCheck().WellFormed());
  // Level-3 horizontal at (40 + 2, 2), step 18, values 1 2 / 3 4.
  EXPECT_EQ(Y(42, 2), 18.0f);
  EXPECT_EQ(Y(43, 2), 36.0f);
  EXPECT_EQ(Y(42, 3), 54.0f);
  EXPECT_EQ(Y(43, 3), 72.0f);
  // Level-2 horizontal at (80 + 4, 4), step 30, fine values -15 .. 0.
  EXPECT_EQ(Y(84, 4), -450.0f);
  EXPECT_EQ(Y(87, 7), 0.0f);
  EXPECT_EQ(Y(85, 4), -420.0f);
  // Level-3 vertical at (2, 30 + 2): coarse 5 .. 8.
  EXPECT_EQ(Y(2, 32), 90.0f);
  EXPECT_EQ(Y(3, 33), 144.0f);
  // Level-2 vertical at (4, 60 + 4): fine 1 .. 16.
  EXPECT_EQ(Y(4, 64), 30.0f);
  EXPECT_EQ(Y(7, 67), 480.0f);
  // Level-3 diagonal at (42, 32), step 22: coarse 9 .. 12.
  EXPECT_EQ(Y(42, 32), 198.0f);
  EXPECT_EQ(Y(43, 33), 264.0f);
  // Block 0 took zeros; the level-2 diagonal band is never coded.
  EXPECT_EQ(Y(40, 0), 0.0f);
  EXPECT_EQ(Y(84, 64), 0.0f);
}

TEST_F(VideoDecoderTest, DoubleSizeRepeatsEveryPixelAndRow) {
  const auto payload = Encode(RandomFrame(4, ValueSpread::AsFrequencies));
  const Decoded normal = DecodeWith(decoder, payload);
  Picture wide(kDoublePictureBytes, 0xCD);
  ASSERT_TRUE(decoder.Decode(payload.data(), payload.size(), wide.data(), true));
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x)
      for (int c = 0; c < 3; ++c)
        ASSERT_EQ(wide[y * 1920 + 3 * x + c], normal.picture[(y / 2) * 960 + 3 * (x / 2) + c]) << x << "," << y;
  }
}

TEST(VideoDecoderState, NotReadyRefusesAndQualityIsChecked) {
  CVideoDecoder decoder;
  Picture picture(kPictureBytes, 0xCD);
  const auto payload = Encode(EmptyFrame());
  EXPECT_FALSE(decoder.Decode(payload.data(), payload.size(), picture.data(), false));
  EXPECT_TRUE(std::all_of(picture.begin(), picture.end(), [](auto b) { return b == 0xCD; }));
  EXPECT_FALSE(decoder.SetQuality(2));

  ASSERT_TRUE(decoder.Init());
  EXPECT_EQ(decoder.Quality(), 3);
  EXPECT_TRUE(decoder.SetQuality(1));
  EXPECT_FALSE(decoder.SetQuality(4));
  EXPECT_FALSE(decoder.SetQuality(-1));
  EXPECT_EQ(decoder.Quality(), 1);
  ASSERT_TRUE(decoder.Init());
  EXPECT_EQ(decoder.Quality(), 3) << "every set-up starts at 3";

  decoder.Shutdown();
  EXPECT_FALSE(decoder.Ready());
  EXPECT_FALSE(decoder.Decode(payload.data(), payload.size(), picture.data(), false));
}

TEST(VideoDecoderState, ProcessWideDecoderFollowsSetUpAndShutdown) {
  Picture picture(kPictureBytes, 0xCD);
  const auto payload = Encode(EmptyFrame());
  ShutdownVideoDecoder();
  EXPECT_FALSE(DecodeVideoFrame(payload.data(), payload.size(), picture.data(), false));
  EXPECT_FALSE(SetVideoQuality(3));
  ASSERT_TRUE(InitVideoDecoder());
  EXPECT_TRUE(SetVideoQuality(3));
  EXPECT_TRUE(DecodeVideoFrame(payload.data(), payload.size(), picture.data(), false));
  EXPECT_EQ(picture[0], 0);
  ShutdownVideoDecoder();
  ShutdownVideoDecoder();
  EXPECT_FALSE(DecodeVideoFrame(payload.data(), payload.size(), picture.data(), false));
}

TEST(ColourConversion, TruncatesThenClampsSixteenBitResults) {
  EXPECT_EQ(PlaneValueToInteger(0.99f), 0);
  EXPECT_EQ(PlaneValueToInteger(-0.99f), 0);
  EXPECT_EQ(PlaneValueToInteger(-1.5f), -1);
  EXPECT_EQ(PlaneValueToInteger(65537.0f), 1) << "kept to 16 bits";
  EXPECT_EQ(BgrFromYuv(255, 100, 0).blue, 255);  // 458 clamped
  EXPECT_EQ(BgrFromYuv(0, 10, 10).green, 0);     // -10 clamped
  // 260 * -32218 = -8376680; the flooring shift gives -65443, whose low 16
  // bits are 93 (a truncating division would give 94).
  EXPECT_EQ(BgrFromYuv(0, -32218, 0).blue, 93);
  EXPECT_EQ(BgrFromYuv(0, 0, 0).red, 0);
}

}  // namespace
}  // namespace kestrel
