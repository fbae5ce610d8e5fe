#include "waveform_scope.h"

#include <gtest/gtest.h>

#include <vector>

#include <QImage>
#include <QWidget>

namespace kestrel {
namespace {

constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kGrid = qRgb(31, 31, 31);
constexpr QRgb kBlack = qRgb(0, 0, 0);

// The scope as the playback panel sets it up, with a 200 x 160 client area:
// plot rectangle 4..196 x 4..156, grid step 30, silence on row 80.
class WaveformScopeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scope.Create(true, QRect(0, 0, 202, 162), &host);
    scope.SetBackgroundColor(Rgb(0, 0, 0));
    scope.SetGridColor(Rgb(31, 31, 31));
    scope.SetPlotColor(Rgb(0, 255, 0));
    scope.SetShiftPixels(2);
    scope.SetRange(0.0f, 2.0f, true);
  }
  // A pixel of the client area as painted on the screen.
  QRgb Pixel(int x, int y) {
    const QImage shown = scope.grab().toImage();
    const QPoint origin = scope.contentsRect().topLeft();
    return shown.pixel(origin.x() + x, origin.y() + y);
  }
  void Plot(float value, int times) {
    for (int i = 0; i < times; ++i) scope.PlotValue(value);
  }

  QWidget host;
  CWaveformScope scope;
};

TEST_F(WaveformScopeTest, LaysOutAPlotRectangleInsetByFour) {
  EXPECT_EQ(scope.PlotRect(), QRect(4, 4, 192, 152));
  EXPECT_EQ(Pixel(4, 4), kGrid);      // frame
  EXPECT_EQ(Pixel(196, 157), kGrid);  // frame one past the plot rectangle
  EXPECT_EQ(Pixel(100, 34), kGrid);   // first horizontal line at top + step
  EXPECT_EQ(Pixel(166, 100), kGrid);  // first vertical line at right - step
  EXPECT_EQ(Pixel(100, 100), kBlack);
  EXPECT_EQ(Pixel(2, 2), kBlack);
}

// Run at scale 1 with the others, and again at 1.5 (see CMakeLists.txt),
// where a logical pixel is one or two device pixels by turns.
TEST_F(WaveformScopeTest, EveryGridLineIsOneDevicePixelWideAtTheScreensScale) {
  Plot(1.0f, 100);
  const QImage shown = scope.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const qreal ratio = shown.devicePixelRatio();
  if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
    ASSERT_DOUBLE_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
  }
  const QPoint origin = scope.contentsRect().topLeft();
  auto device = [&](int logical) { return static_cast<int>(logical * ratio); };
  // Runs of grid colour along a line of device pixels, and their lengths.
  auto runs = [&](bool across, int at, int from, int to) {
    std::vector<int> lengths;
    int length = 0;
    for (int i = from; i <= to; ++i) {
      const QRgb pixel = across ? shown.pixel(i, at) : shown.pixel(at, i);
      if (pixel == kGrid) {
        ++length;
      } else if (length > 0) {
        lengths.push_back(length);
        length = 0;
      }
    }
    if (length > 0) lengths.push_back(length);
    return lengths;
  };
  // A row through the first row of cells crosses the frame's two sides and
  // five inner lines; a column through a cell, the frame and four lines.
  const std::vector<int> vertical =
      runs(true, device(origin.y() + 19), device(origin.x()), device(origin.x() + 200) - 1);
  const std::vector<int> horizontal =
      runs(false, device(origin.x() + 181), device(origin.y()), device(origin.y() + 160) - 1);
  EXPECT_EQ(vertical, std::vector<int>(7, 1));
  EXPECT_EQ(horizontal, std::vector<int>(6, 1));
  // The trace still lies over the grid, OR-ed where it crosses a line.
  // (Looked up at the middle of the logical pixel, which the scaling of
  // the trace covers whatever the fraction.)
  auto centre = [&](int logical) { return static_cast<int>((logical + 0.5) * ratio); };
  const int middle = centre(origin.y() + 80);
  EXPECT_EQ(shown.pixel(centre(origin.x() + 100), middle), kGreen);
  EXPECT_EQ(shown.pixel(centre(origin.x() + 136), middle), qRgb(31, 255, 31));
}

TEST_F(WaveformScopeTest, SilenceDrawsAHorizontalLineThroughTheMiddle) {
  Plot(1.0f, 100);
  for (int x : {60, 100, 150, 190}) {
    EXPECT_EQ(Pixel(x, 80), kGreen) << x;
    EXPECT_EQ(Pixel(x, 79), kBlack) << x;
    EXPECT_EQ(Pixel(x, 81), kBlack) << x;
  }
  // Green OR-ed over the grid.
  EXPECT_EQ(Pixel(136, 80), qRgb(31, 255, 31));
  // The newest segment ends one half shift from the right edge.
  EXPECT_EQ(Pixel(194, 80), kGreen);
  EXPECT_EQ(Pixel(195, 80), kBlack);
}

TEST_F(WaveformScopeTest, FirstSegmentStartsOnTheBottomLine) {
  scope.PlotValue(1.0f);
  // From (193, 156) to (195, 80), end excluded.
  EXPECT_EQ(Pixel(193, 156), kGreen);
  EXPECT_EQ(Pixel(194, 80), kBlack);
}

TEST_F(WaveformScopeTest, ValuesAtOrBeyondTheRangeAreDrawnInside) {
  Plot(2.5f, 20);
  EXPECT_EQ(Pixel(170, 5), kGreen);  // 1.999: one pixel below the top edge
  EXPECT_EQ(Pixel(170, 4), kGrid);
  Plot(2.0f, 1);
  EXPECT_EQ(Pixel(192, 5), kGreen);
  Plot(-0.5f, 20);
  EXPECT_EQ(Pixel(170, 156), kGreen);  // 0.001: on the bottom edge
  EXPECT_EQ(Pixel(170, 157), kGrid);
}

TEST_F(WaveformScopeTest, RedrawErasesTheTraceAndKeepsTheGrid) {
  Plot(1.0f, 50);
  scope.Redraw();
  EXPECT_EQ(Pixel(150, 80), kBlack);
  EXPECT_EQ(Pixel(136, 80), kGrid);
  // The next value joins the value before the redraw.
  scope.PlotValue(1.5f);
  EXPECT_EQ(Pixel(193, 80), kGreen);
}

TEST_F(WaveformScopeTest, OnlyAChangedPlotColourErasesTheTrace) {
  Plot(1.0f, 50);
  scope.SetPlotColor(Rgb(0, 255, 0));
  EXPECT_EQ(Pixel(150, 80), kGreen);
  scope.SetPlotColor(Rgb(255, 0, 0));
  EXPECT_EQ(Pixel(150, 80), kBlack);
}

TEST_F(WaveformScopeTest, ShiftChangeTakesEffectWithTheNextValue) {
  Plot(1.0f, 50);
  scope.SetShiftPixels(4);
  EXPECT_EQ(Pixel(150, 80), kGreen);
  scope.PlotValue(1.0f);
  // Segment from right - 6 to right - 2.
  EXPECT_EQ(Pixel(190, 80), kGreen);
  EXPECT_EQ(Pixel(193, 80), kGreen);
}

TEST_F(WaveformScopeTest, PlotsQueuedValuesInOrderAndClearForgetsThem) {
  scope.AppendSample(2.0f);
  scope.AppendSample(1.0f);
  EXPECT_EQ(scope.PendingSamples(), 2);
  scope.PlotNextSample();  // from the bottom line up to 1.999
  EXPECT_EQ(Pixel(193, 156), kGreen);
  scope.PlotNextSample();  // from 1.999 down to the middle
  EXPECT_EQ(scope.PendingSamples(), 0);
  EXPECT_EQ(Pixel(191, 156), kGreen);
  EXPECT_EQ(Pixel(193, 5), kGreen);
  scope.PlotNextSample();  // empty: nothing moves
  EXPECT_EQ(Pixel(193, 5), kGreen);
  scope.AppendSample(0.0f);
  scope.ClearSamples();
  EXPECT_EQ(scope.PendingSamples(), 0);
}

TEST_F(WaveformScopeTest, RejectsAnInvertedOrNegativeRange) {
  scope.SetRange(1.0f, 0.5f, true);
  scope.SetRange(-3.0f, -1.0f, true);
  Plot(1.0f, 10);
  EXPECT_EQ(Pixel(185, 80), kGreen);  // still 0 .. 2
}

}  // namespace
}  // namespace kestrel
