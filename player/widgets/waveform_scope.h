// The scrolling trace of a sound-only message: a line on a ground with a
// grid, moved right to left by a few pixels for every value plotted. Values
// are appended by the reader thread and plotted, one per heard buffer, on
// the user-interface thread, so the trace follows what is heard.
#pragma once

#include <array>
#include <mutex>

#include <QFrame>
#include <QImage>

#include "colour_ref.h"

namespace kestrel {

class CWaveformScope : public QFrame {
  Q_OBJECT
 public:
  // More values than the sound output can have waiting; appends beyond are dropped.
  static constexpr int kSampleCapacity = 512;

  CWaveformScope();

  // Makes the window: a child of `parent` at `rect`, with a thin sunken
  // edge; lays out and draws the grid.
  void Create(bool visible, const QRect& rect, QWidget* parent);

  void SetBackgroundColor(ColorRef colour);
  void SetGridColor(ColorRef colour);
  void SetPlotColor(ColorRef colour);
  void SetShiftPixels(int pixels);
  void SetRange(float lower, float upper, bool redraw);
  ColorRef BackgroundColor() const { return background_; }

  // Any thread.
  void AppendSample(float value);
  // Forgets every value not yet plotted (at Stop and Open, so that the
  // trace always shows the sound being heard).
  void ClearSamples();
  int PendingSamples() const;

  // User-interface thread: plots the oldest waiting value, if any.
  void PlotNextSample();
  void PlotValue(float value);
  // Rebuilds the grid and erases the trace.
  void Redraw();

  // The plot rectangle in client coordinates (exclusive right and bottom).
  const QRect& PlotRect() const { return plotRect_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Layout();
  QSize ClientSize() const { return contentsRect().size(); }

  float lower_ = 0.0f;
  float upper_ = 100.0f;
  float factor_ = 0.0f;
  float previous_ = 0.0f;
  int shift_ = 4;
  int halfShift_ = 2;
  int plotShift_ = 6;
  ColorRef background_ = Rgb(0, 0, 0);
  ColorRef grid_ = Rgb(128, 128, 128);
  ColorRef plot_ = Rgb(255, 0, 0);
  QRect plotRect_;  // left, top, right, bottom as given: right and bottom excluded
  int plotRight_ = 0;
  int plotBottom_ = 0;
  QImage gridLayer_;
  QImage plotLayer_;
  QRect plotClip_;
  QImage offscreen_;

  mutable std::mutex samplesMutex_;
  std::array<float, kSampleCapacity> samples_{};
  int sampleHead_ = 0;
  int sampleCount_ = 0;
};

}  // namespace kestrel
