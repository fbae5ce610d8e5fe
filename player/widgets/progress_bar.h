// The progress of a message as a band that slides from left to right: its
// right end is the leading position (buffers heard), its left end trails and
// starts to move once the leading position has reached the lag.
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

  std::int64_t Total() const { return total_; }
  std::int64_t Leading() const { return leading_; }
  std::int64_t Trailing() const { return trailing_; }


 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::int64_t total_ = 100;
  std::int64_t lag_ = 20;
  std::int64_t step_ = 1;
  std::int64_t leading_ = 0;
  std::int64_t trailing_ = 0;
  ColorRef ground_;
  ColorRef band_ = Rgb(0, 255, 0);
};

}  // namespace kestrel
