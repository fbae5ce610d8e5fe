#include "progress_bar.h"

#include <gtest/gtest.h>

#include <QImage>

namespace kestrel {
namespace {

constexpr QRgb kBand = qRgb(0, 255, 0);

// A 200-pixel client area with a total of 200: one pixel per step.
class ProgressBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar.resize(202, 12);
    bar.SetTotal(200);
    bar.SetLag(88);
    ground = bar.palette().color(QPalette::Dark).rgb();
  }
  QRgb Pixel(int x) {
    const QImage shown = bar.grab().toImage();
    return shown.pixel(bar.contentsRect().left() + x, bar.contentsRect().top() + 5);
  }
  void Advance(int times) {
    for (int i = 0; i < times; ++i) bar.Advance();
  }

  CProgressBar bar;
  QRgb ground = 0;
};

TEST_F(ProgressBarTest, BandGrowsFromTheLeftUntilTheLagThenSlides) {
  Advance(87);
  EXPECT_EQ(bar.Trailing(), 0);
  EXPECT_EQ(Pixel(0), kBand);
  EXPECT_EQ(Pixel(86), kBand);
  EXPECT_EQ(Pixel(87), ground);

  Advance(1);
  EXPECT_EQ(bar.Leading(), 88);
  EXPECT_EQ(bar.Trailing(), 1);
  EXPECT_EQ(Pixel(0), ground);
  EXPECT_EQ(Pixel(1), kBand);
  EXPECT_EQ(Pixel(87), kBand);
  EXPECT_EQ(Pixel(88), ground);

  Advance(12);  // the band keeps its width of 87 steps
  EXPECT_EQ(Pixel(12), ground);
  EXPECT_EQ(Pixel(13), kBand);
  EXPECT_EQ(Pixel(99), kBand);
  EXPECT_EQ(Pixel(100), ground);

  bar.Reset();
  EXPECT_EQ(Pixel(0), ground);
  EXPECT_EQ(Pixel(50), ground);
}

TEST_F(ProgressBarTest, AtTheTotalTheBandShrinksToNothingOnTheRight) {
  Advance(200);
  EXPECT_EQ(bar.Leading(), 200);
  EXPECT_EQ(bar.Trailing(), 113);
  Advance(200);
  EXPECT_EQ(bar.Leading(), 200);
  EXPECT_EQ(bar.Trailing(), 200);
  EXPECT_EQ(Pixel(199), ground);
}

TEST_F(ProgressBarTest, ZeroTotalShowsOnlyTheGround) {
  bar.SetTotal(0);
  Advance(3);
  EXPECT_EQ(Pixel(0), ground);
  EXPECT_EQ(Pixel(199), ground);
}

}  // namespace
}  // namespace kestrel
