#include "level_meter.h"

#include <gtest/gtest.h>

#include <QImage>

namespace kestrel {
namespace {

constexpr QRgb kGround = qRgb(192, 192, 192);

// A client area 20 wide and 100 high: segment height 10.
class LevelMeterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    meter.resize(22, 102);
    meter.SetRange(0, 32768);
  }
  QRgb Pixel(int y) {
    const QImage shown = meter.grab().toImage();
    return shown.pixel(meter.contentsRect().left() + 5, meter.contentsRect().top() + y);
  }

  CLevelMeter meter;
};

TEST_F(LevelMeterTest, LightsSegmentsInProportionToTheValue) {
  meter.SetPos(3276);  // n = 0: nothing lit
  for (int y = 0; y < 100; y += 5) EXPECT_EQ(Pixel(y), kGround) << y;

  meter.SetPos(3277);  // n = 1: slots 0 (below the last whole segment) and 1
  EXPECT_EQ(Pixel(90), qRgb(25, 230, 0));
  EXPECT_EQ(Pixel(98), qRgb(25, 230, 0));
  EXPECT_EQ(Pixel(99), kGround);  // the gap above slot 0
  EXPECT_EQ(Pixel(85), kGround);

  meter.SetPos(32768);  // n = 10: all slots, the top one red
  EXPECT_EQ(Pixel(0), qRgb(255, 0, 0));
  EXPECT_EQ(Pixel(8), qRgb(255, 0, 0));
  EXPECT_EQ(Pixel(9), kGround);
  EXPECT_EQ(Pixel(50), qRgb(127, 128, 0));
}

TEST_F(LevelMeterTest, IgnoresValuesAndRangesOutsideTheRules) {
  meter.SetPos(32768);
  meter.SetPos(40000);
  EXPECT_EQ(meter.Pos(), 32768);
  EXPECT_EQ(Pixel(0), qRgb(255, 0, 0));
  meter.SetRange(10, 5);
  meter.SetRange(-1, 5);
  meter.SetPos(20000);  // still inside 0 .. 32768
  EXPECT_EQ(meter.Pos(), 20000);
}

TEST_F(LevelMeterTest, AnEmptyRangeShowsOnlyTheGround) {
  meter.SetRange(0, 0);
  meter.SetPos(0);
  EXPECT_EQ(Pixel(0), kGround);
  EXPECT_EQ(Pixel(95), kGround);
}

}  // namespace
}  // namespace kestrel
