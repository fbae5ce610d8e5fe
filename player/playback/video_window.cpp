#include "video_window.h"

#include <cstring>

#include <QPainter>

#include "periodic_clock.h"
#include "ui_wake.h"
#include "video_window_sink.h"

namespace kestrel {

CVideoWindow::CVideoWindow(QWidget* parent, IVideoWindowSink* sink, int width, int height, int frameRate,
                           int capacity, IPeriodicClock& clock)
    : QWidget(parent),
      sink_(sink),
      width_(width),
      height_(height),
      frameBytes_(static_cast<std::size_t>(width) * height * 3),
      capacity_(capacity),
      frameRate_(frameRate > 0 ? frameRate : 1),
      clock_(clock),
      slots_(new std::uint8_t[frameBytes_ * capacity]),
      dib_(new std::uint8_t[frameBytes_]()),
      screen_(width, height, QImage::Format_RGB32) {
  screen_.fill(Qt::black);
  setCursor(Qt::ArrowCursor);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(width_, height_);
  if (parent) move((parent->width() - width_) / 2, (parent->height() - height_) / 2);
  repaintWake_ = new CUiWake([this] { update(); }, this);
}

CVideoWindow::~CVideoWindow() { Stop(); }

void CVideoWindow::SetFrameRate(int rate) {
  if (rate < 1) return;
  frameRate_ = rate;
}

bool CVideoWindow::Push(const std::uint8_t* picture) {
  if (count_.load() == capacity_ - 1) return false;
  std::memcpy(slots_.get() + frameBytes_ * writeIndex_, picture, frameBytes_);
  writeIndex_ = (writeIndex_ + 1) % capacity_;
  ++count_;
  return true;
}

void CVideoWindow::Start() {
  if (running_) return;
  running_ = true;
  wake_.Reset();
  presenter_ = std::thread(&CVideoWindow::PresentThread, this);
  clock_.Start(PeriodMs(), wake_);
}

void CVideoWindow::Stop() {
  if (!running_) return;
  running_ = false;
  clock_.Stop();
  // The event stays set until taken, so the thread ends even if it was
  // not yet waiting.
  wake_.Set();
  presenter_.join();
}

void CVideoWindow::Reset() {
  Stop();
  readIndex_ = writeIndex_ = 0;
  count_ = 0;
}

void CVideoWindow::Repaint() { update(); }

void CVideoWindow::PresentThread() {
  if (!running_) return;
  for (;;) {
    wake_.Wait();
    if (!running_) return;
    PresentOnePicture();
  }
}

void CVideoWindow::PresentOnePicture() {
  if (count_.load() == 0) return;
  const std::uint8_t* slot = slots_.get() + frameBytes_ * readIndex_;
  readIndex_ = (readIndex_ + 1) % capacity_;
  --count_;
  {
    std::lock_guard lock(pictureMutex_);
    std::memcpy(dib_.get(), slot, frameBytes_);
    // The bitmap's first row is the bottom line on the screen.
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 3;
    for (int y = 0; y < height_; ++y) {
      const std::uint8_t* source = dib_.get() + rowBytes * (height_ - 1 - y);
      auto* target = reinterpret_cast<QRgb*>(screen_.scanLine(y));
      for (int x = 0; x < width_; ++x) {
        target[x] = qRgb(source[3 * x + 2], source[3 * x + 1], source[3 * x]);
      }
    }
  }
  repaintWake_->Wake();
  if (sink_) sink_->OnFramePresented();
}

void CVideoWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  std::lock_guard lock(pictureMutex_);
  painter.drawImage(0, 0, screen_);
}

}  // namespace kestrel
