// The progress of a message as a band that slides from left to right: its
// right end is the leading position (buffers heard), its left end trails and
// starts to move once the leading position has reached the lag.
#pragma once

#include <QFrame>

#include "colour_ref.h"

namespace kestrel {

class CProgressBar : public QFrame {
  Q_OBJECT
 public:
  explicit CProgressBar(QWidget* parent = nullptr);

  void SetTotal(int total) { total_ = total; }
  void SetLag(int lag) { lag_ = lag; }
  // One step on, and repainted at once.
  void Advance();
  void Reset();

  int Leading() const { return leading_; }
  int Trailing() const { return trailing_; }


 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int total_ = 100;
  int lag_ = 20;
  int step_ = 1;
  int leading_ = 0;
  int trailing_ = 0;
  ColorRef ground_;
  ColorRef band_ = Rgb(0, 255, 0);
};

}  // namespace kestrel
