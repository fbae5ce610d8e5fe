// The progress of a message as a band that slides from left to right: its
// right end is the leading position (buffers heard), its left end trails and
// starts to move once the leading position has reached the lag. Pressed and
// dragged with the left button, it tells where along the total the pointer
// is, and where it was let go.
#pragma once

#include <cstdint>

#include <QFrame>

#include "colour_ref.h"

namespace kestrel {

class CProgressBar : public QFrame {
  Q_OBJECT
 public:
  explicit CProgressBar(QWidget* parent = nullptr);

  // Counts are 64-bit: a message's total of 20 ms frames fills 32 bits.
  void SetTotal(std::int64_t total) { total_ = total; }
  void SetLag(std::int64_t lag) { lag_ = lag; }
  // One step on, and repainted at once.
  void Advance();
  void Reset();
  // The leading position moved to `leading` (within 0 to the total), the
  // trailing one where as many Advance calls from 0 would have left it.
  void SetPosition(std::int64_t leading);
  // The step under horizontal position `x` of the widget: 0 at the left
  // edge of the strip, the total at its right edge and beyond.
  std::int64_t PositionAt(int x) const;

  std::int64_t Total() const { return total_; }
  std::int64_t Leading() const { return leading_; }
  std::int64_t Trailing() const { return trailing_; }

 signals:
  // The left button pressed on the strip, or dragged with it held down.
  void PointerMoved(std::int64_t position);
  // The left button let go: the place chosen.
  void PointerReleased(std::int64_t position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::int64_t total_ = 100;
  std::int64_t lag_ = 20;
  std::int64_t step_ = 1;
  std::int64_t leading_ = 0;
  std::int64_t trailing_ = 0;
  bool dragging_ = false;
  ColorRef ground_;
  ColorRef band_ = Rgb(0, 255, 0);
};

}  // namespace kestrel
