#include "video_window.h"

#include <cstring>

#include <QPainter>

#include "ui_wake.h"
#include "video_window_sink.h"

namespace kestrel {

CVideoWindow::CVideoWindow(QWidget* parent, IVideoWindowSink* sink, int width, int height, int capacity)
    : QWidget(parent),
      sink_(sink),
      width_(width),
      height_(height),
      frameBytes_(static_cast<std::size_t>(width) * height * 3),
      capacity_(capacity),
      slots_(new std::uint8_t[frameBytes_ * capacity]),
      dues_(new std::uint64_t[static_cast<std::size_t>(capacity)]()),
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

bool CVideoWindow::Push(const std::uint8_t* picture, std::uint64_t due) {
  int slot = 0;
  {
    std::lock_guard lock(queueMutex_);
    if (count_.load() == capacity_ - 1) return false;
    slot = writeIndex_;
  }
  std::memcpy(slots_.get() + frameBytes_ * slot, picture, frameBytes_);
  {
    std::lock_guard lock(queueMutex_);
    dues_[slot] = due;
    writeIndex_ = (writeIndex_ + 1) % capacity_;
    ++count_;
  }
  changed_.notify_one();
  return true;
}

std::uint64_t CVideoWindow::NextDue() const {
  std::lock_guard lock(queueMutex_);
  return count_.load() == 0 ? kNothingQueued : dues_[readIndex_];
}

bool CVideoWindow::HeadIsDue() const { return count_.load() > 0 && dues_[readIndex_] <= played_; }

void CVideoWindow::SetPlayedPosition(std::uint64_t position) {
  bool due = false;
  {
    std::lock_guard lock(queueMutex_);
    played_ = position;
    due = running_ && HeadIsDue();
  }
  if (due) changed_.notify_one();
}

std::uint64_t CVideoWindow::PlayedPosition() const {
  std::lock_guard lock(queueMutex_);
  return played_;
}

void CVideoWindow::Start() {
  std::lock_guard lock(queueMutex_);
  if (running_) return;
  running_ = true;
  presenter_ = std::thread(&CVideoWindow::PresentThread, this);
}

void CVideoWindow::Stop() {
  {
    std::lock_guard lock(queueMutex_);
    if (!running_) return;
    running_ = false;
  }
  changed_.notify_one();
  presenter_.join();
}

bool CVideoWindow::IsRunning() const {
  std::lock_guard lock(queueMutex_);
  return running_;
}

bool CVideoWindow::IsWaiting() const {
  std::lock_guard lock(queueMutex_);
  return running_ && waiting_ && !HeadIsDue();
}

void CVideoWindow::Reset() {
  Stop();
  std::lock_guard lock(queueMutex_);
  readIndex_ = writeIndex_ = 0;
  count_ = 0;
}

void CVideoWindow::Repaint() { update(); }

void CVideoWindow::ClearPicture() {
  {
    std::lock_guard lock(pictureMutex_);
    std::memset(dib_.get(), 0, frameBytes_);
    screen_.fill(Qt::black);
    hasPicture_ = false;
  }
  update();
}

void CVideoWindow::ShowNow(const std::uint8_t* picture, std::uint64_t due) { PutUp(picture, due); }

bool CVideoWindow::CopyShownPicture(std::uint8_t* out, std::uint64_t* due) const {
  std::lock_guard lock(pictureMutex_);
  if (!hasPicture_) return false;
  std::memcpy(out, dib_.get(), frameBytes_);
  *due = shownDue_;
  return true;
}

void CVideoWindow::PresentThread() {
  std::unique_lock lock(queueMutex_);
  for (;;) {
    waiting_ = true;
    changed_.wait(lock, [this] { return !running_ || HeadIsDue(); });
    waiting_ = false;
    if (!running_) return;
    const std::uint8_t* slot = slots_.get() + frameBytes_ * readIndex_;
    const std::uint64_t due = dues_[readIndex_];
    readIndex_ = (readIndex_ + 1) % capacity_;
    --count_;
    lock.unlock();
    PutUp(slot, due);
    lock.lock();
  }
}

void CVideoWindow::PutUp(const std::uint8_t* slot, std::uint64_t due) {
  {
    std::lock_guard lock(pictureMutex_);
    std::memcpy(dib_.get(), slot, frameBytes_);
    hasPicture_ = true;
    shownDue_ = due;
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
