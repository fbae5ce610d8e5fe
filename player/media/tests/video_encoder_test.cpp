#include "video_encoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "message_format.h"
#include "support/test_pictures.h"
#include "video_decoder.h"

namespace kestrel {
namespace {

using testing::DrawTestPicture;
using testing::Psnr;

std::vector<std::uint8_t> RoundTrip(CVideoEncoder& encoder, CVideoDecoder& decoder,
                                    const std::vector<std::uint8_t>& picture, PayloadCheck* check = nullptr) {
  const auto payload = encoder.Encode(picture.data());
  std::vector<std::uint8_t> out(kPictureBytes);
  EXPECT_TRUE(decoder.Decode(payload.data(), payload.size(), out.data(), false));
  if (check) *check = decoder.LastCheck();
  return out;
}

TEST(VideoEncoder, PayloadsAreWellFormedAndNeedNoCutOrZeroFill) {
  CVideoEncoder encoder;
  CVideoDecoder decoder;
  ASSERT_TRUE(decoder.Init());
  for (int scene = 0; scene < 6; ++scene) {
    const auto picture = DrawTestPicture(scene, scene * 7);
    VideoEncodeStats stats;
    const auto payload = encoder.Encode(picture.data(), &stats);
    EXPECT_LE(payload.size(), kPayloadBufferBytes);
    std::vector<std::uint8_t> out(kPictureBytes);
    decoder.Decode(payload.data(), payload.size(), out.data(), false);
    EXPECT_TRUE(decoder.LastCheck().WellFormed()) << "scene " << scene;
    // The decoder reads back exactly the symbols the encoder chose.
    EXPECT_EQ(decoder.LastSymbols().values, encoder.LastSymbols().values) << "scene " << scene;
    EXPECT_EQ(decoder.LastSymbols().skipMap, encoder.LastSymbols().skipMap);
    EXPECT_EQ(stats.deadZone, 0);
  }
}

TEST(VideoEncoder, FlatColoursComeBackExactly) {
  CVideoEncoder encoder;
  CVideoDecoder decoder;
  ASSERT_TRUE(decoder.Init());
  const std::uint8_t colours[][3] = {{0, 0, 0}, {255, 255, 255}, {128, 128, 128}, {40, 90, 200}, {200, 30, 60}};
  for (const auto& c : colours) {
    std::vector<std::uint8_t> picture(kPictureBytes);
    for (std::size_t i = 0; i < kPictureBytes; i += 3) std::copy(c, c + 3, picture.begin() + i);
    const auto out = RoundTrip(encoder, decoder, picture);
    // A flat picture has no detail; only the colour steps can move it.
    EXPECT_GT(Psnr(picture, out, 0), 38.0) << int(c[0]) << "," << int(c[1]) << "," << int(c[2]);
  }
}

TEST(VideoEncoder, ReencodingADecodedPictureChangesItVeryLittle) {
  CVideoEncoder encoder;
  CVideoDecoder decoder;
  ASSERT_TRUE(decoder.Init());
  // Natural scenes. Hard-edged saturated ones (bars, checks) decode with many
  // colours clamped at 0 or 255, which no payload reproduces exactly.
  for (int scene : {0, 2, 3, 5}) {
    const auto once = RoundTrip(encoder, decoder, DrawTestPicture(scene, 3 * scene));
    PayloadCheck check;
    const auto twice = RoundTrip(encoder, decoder, once, &check);
    EXPECT_TRUE(check.WellFormed());
    for (int channel = 0; channel < 3; ++channel)
      EXPECT_GE(Psnr(once, twice, channel), 45.0) << "scene " << scene << " channel " << channel;
  }
}

TEST(VideoEncoder, BusyPicturesStayWithinThePayloadLimit) {
  CVideoEncoder encoder;
  CVideoDecoder decoder;
  ASSERT_TRUE(decoder.Init());
  const auto noise = DrawTestPicture(testing::kNoiseScene, 1);
  VideoEncodeStats stats;
  const auto small = encoder.Encode(noise.data(), &stats, 4000);
  EXPECT_LE(small.size(), 4000u);
  EXPECT_GT(stats.deadZone, 0) << "the limit forced the smallest values out";
  std::vector<std::uint8_t> out(kPictureBytes);
  decoder.Decode(small.data(), small.size(), out.data(), false);
  EXPECT_TRUE(decoder.LastCheck().WellFormed());
}

}  // namespace
}  // namespace kestrel
