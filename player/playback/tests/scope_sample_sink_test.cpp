#include "scope_sample_sink.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "waveform_scope.h"

namespace kestrel {
namespace {

constexpr QRgb kGreen = qRgb(0, 255, 0);

TEST(ScopeSampleSink, FullScaleSpansTheScopesRangeWithSilenceInTheMiddle) {
  EXPECT_EQ(ScopeValueOf(-32768), kScopeLower);
  EXPECT_EQ(ScopeValueOf(0), (kScopeLower + kScopeUpper) / 2);
  EXPECT_EQ(ScopeValueOf(16384), 1.5f);
  EXPECT_LT(ScopeValueOf(32767), kScopeUpper);
  EXPECT_GT(ScopeValueOf(32767), 1.9999f);
}

// The reader's samples reach the trace: a scope laid out as the panel does,
// 200 x 160 inside (plot rows 4 .. 156, silence on row 80).
TEST(ScopeSampleSink, SamplesFedThroughTheSinkAreDrawnWhereTheirLevelIs) {
  QWidget host;
  CWaveformScope scope;
  scope.Create(true, QRect(0, 0, 202, 162), &host);
  scope.SetPlotColor(Rgb(0, 255, 0));
  scope.SetShiftPixels(2);
  scope.SetRange(kScopeLower, kScopeUpper, true);
  CScopeSampleSink sink(scope);
  auto row = [&](std::int16_t sample) {
    for (int i = 0; i < 40; ++i) sink.OnSample(sample);
    EXPECT_EQ(scope.PendingSamples(), 40);
    while (scope.PendingSamples() > 0) scope.PlotNextSample();
    const QImage shown = scope.grab().toImage();
    const QPoint origin = scope.contentsRect().topLeft();
    for (int y = 4; y <= 156; ++y) {
      if (shown.pixel(origin.x() + 170, origin.y() + y) == kGreen) return y;
    }
    return -1;
  };
  EXPECT_EQ(row(0), 80);
  EXPECT_EQ(row(-32768), 156);  // on the bottom edge
  EXPECT_EQ(row(32767), 5);     // one pixel below the top edge
  EXPECT_EQ(row(16384), 42);

  // A sink that is not drained drops what does not fit instead of waiting.
  for (int i = 0; i < CWaveformScope::kSampleCapacity + 10; ++i) sink.OnSample(0);
  EXPECT_EQ(scope.PendingSamples(), CWaveformScope::kSampleCapacity);
}

}  // namespace
}  // namespace kestrel
