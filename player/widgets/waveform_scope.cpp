#include "waveform_scope.h"

#include <cmath>

#include <QPaintEvent>
#include <QPainter>

#include "memory_dc.h"
#include "raster.h"

namespace kestrel {

namespace {
// The plot keeps this many pixels clear on every side of the client area.
constexpr int kPlotMargin = 4;
// Rows of grid cells across the plot's height; the cells are square.
constexpr int kGridRows = 5;
}  // namespace

CWaveformScope::CWaveformScope() : QFrame(nullptr) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAccessibleName(QStringLiteral("Waveform"));
  setAccessibleDescription(QStringLiteral("The sound being heard, as a trace that scrolls from right to left"));
}

void CWaveformScope::Create(bool visible, const QRect& rect, QWidget* parent) {
  setParent(parent);
  setGeometry(rect);
  Layout();
  Redraw();
  setVisible(visible);
}

void CWaveformScope::SetBackgroundColor(ColorRef colour) {
  if (colour == background_) return;
  background_ = colour;
  Redraw();
}

void CWaveformScope::SetGridColor(ColorRef colour) {
  if (colour == grid_) return;
  grid_ = colour;
  Redraw();
}

void CWaveformScope::SetPlotColor(ColorRef colour) {
  if (colour == plot_) return;
  plot_ = colour;
  Redraw();
}

void CWaveformScope::SetShiftPixels(int pixels) {
  shift_ = pixels;
  halfShift_ = pixels >> 1;
  plotShift_ = shift_ + halfShift_;
}

void CWaveformScope::SetRange(float lower, float upper, bool redraw) {
  if (upper < lower || upper < 0.0f) return;
  lower_ = lower;
  upper_ = upper;
  if (redraw) {
    Layout();
    Redraw();
  }
}

void CWaveformScope::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  Layout();
}

void CWaveformScope::Layout() {
  const QSize client = ClientSize();
  plotRight_ = client.width() - kPlotMargin;
  plotBottom_ = client.height() - kPlotMargin;
  plotRect_ = Span(kPlotMargin, kPlotMargin, plotRight_, plotBottom_);
  factor_ = static_cast<float>(plotBottom_ - kPlotMargin) / (upper_ - lower_);
  if (previous_ == 0.0f) previous_ = lower_;
}

void CWaveformScope::Redraw() {
  const QSize client = ClientSize();
  const qreal ratio = devicePixelRatioF();
  if (gridLayer_.isNull() || gridLayer_.devicePixelRatio() != ratio) {
    // Made once, and again only on a screen of another density; a later
    // size change only lays out again. The grid and the composed picture
    // are kept in device pixels, so that at any scale every grid line is
    // one device pixel wide instead of one or two by turns.
    const QSize device(static_cast<int>(std::ceil(client.width() * ratio)),
                       static_cast<int>(std::ceil(client.height() * ratio)));
    gridLayer_ = QImage(device, QImage::Format_RGB32);
    gridLayer_.setDevicePixelRatio(ratio);
    offscreen_ = QImage(device, QImage::Format_RGB32);
    offscreen_.setDevicePixelRatio(ratio);
  }
  const QRgb ground = ToQRgb(background_);
  const QRgb gridColour = ToQRgb(grid_);
  const QRect all = gridLayer_.rect();
  FillSpan(gridLayer_, all, ground);
  FillSpan(gridLayer_, ToDevice(plotRect_, ratio), ground);

  const int left = kPlotMargin;
  const int top = kPlotMargin;
  const int right = plotRight_;
  const int bottom = plotBottom_;
  // Lines between logical points, drawn between the device pixels where
  // those points fall.
  auto line = [&](int x0, int y0, int x1, int y1) {
    DrawLine(gridLayer_, {ToDevice(x0, ratio), ToDevice(y0, ratio)}, {ToDevice(x1, ratio), ToDevice(y1, ratio)},
             gridColour, all);
  };
  line(left, top, right + 1, top);
  line(right + 1, top, right + 1, bottom + 1);
  line(right + 1, bottom + 1, left, bottom + 1);
  line(left, bottom + 1, left, top);
  const int step = (bottom - top) / kGridRows;
  if (step > 0) {
    for (int k = 1; k < kGridRows; ++k) line(left, top + k * step, right + 1, top + k * step);
    // Square cells, counted from the right edge.
    const int columns = (right - left) / step;
    for (int k = 1; k < columns; ++k) line(right - k * step, top, right - k * step, bottom + 1);
  }

  if (plotLayer_.isNull()) plotLayer_ = QImage(client, QImage::Format_RGB32);
  FillSpan(plotLayer_, plotLayer_.rect(), ground);
  plotClip_ = Span(left - 1, top - 1, right + 1, bottom + 1);
  update();
}

void CWaveformScope::AppendSample(float value) {
  std::lock_guard lock(samplesMutex_);
  if (sampleCount_ == kSampleCapacity) return;
  samples_[(sampleHead_ + sampleCount_) % kSampleCapacity] = value;
  ++sampleCount_;
}

void CWaveformScope::ClearSamples() {
  std::lock_guard lock(samplesMutex_);
  sampleHead_ = 0;
  sampleCount_ = 0;
}

int CWaveformScope::PendingSamples() const {
  std::lock_guard lock(samplesMutex_);
  return sampleCount_;
}

void CWaveformScope::PlotNextSample() {
  float value = 0.0f;
  {
    std::lock_guard lock(samplesMutex_);
    if (sampleCount_ == 0) return;
    value = samples_[sampleHead_];
    sampleHead_ = (sampleHead_ + 1) % kSampleCapacity;
    --sampleCount_;
  }
  PlotValue(value);
}

void CWaveformScope::PlotValue(float value) {
  // Never on the limits: the edges belong to the frame.
  if (value >= upper_) value = upper_ - 0.001f;
  if (value <= lower_) value = lower_ + 0.001f;
  if (!plotLayer_.isNull()) {
    const int left = kPlotMargin;
    const int top = kPlotMargin;
    CopyWithin(plotLayer_, {left + shift_, top + 1}, {left, top + 1}, QSize(plotRight_ - left, plotBottom_ - top),
               plotClip_);
    FillSpan(plotLayer_, Span(plotRight_ - shift_, top, plotRight_, plotBottom_).intersected(plotClip_),
             ToQRgb(background_));
    const int fromY = plotBottom_ - static_cast<int>((previous_ - lower_) * factor_);
    const int toY = plotBottom_ - static_cast<int>((value - lower_) * factor_);
    DrawLine(plotLayer_, {plotRight_ - plotShift_, fromY}, {plotRight_ - halfShift_, toY}, ToQRgb(plot_), plotClip_);
    previous_ = value;
  }
  update();
}

void CWaveformScope::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (!gridLayer_.isNull()) {
    painter.save();
    painter.translate(contentsRect().topLeft());
    {
      const QRect dirty =
          event->rect().translated(-contentsRect().topLeft()).intersected(QRect(QPoint(0, 0), ClientSize()));
      CMemoryDC memory(painter, offscreen_, dirty, ToQRgb(background_));
      QPainter layers(&memory.Image());
      layers.setClipRect(dirty);
      layers.drawImage(0, 0, gridLayer_);
      // The trace lies over the grid: where they meet, the colours are OR-ed.
      // It is kept in logical pixels and so drawn scaled on a dense screen.
      layers.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
      layers.drawImage(0, 0, plotLayer_);
    }
    painter.restore();
  }
  drawFrame(&painter);
}

}  // namespace kestrel
