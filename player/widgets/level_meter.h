// A level as an upright column of segments, green at the bottom turning to
// red at the top.
#pragma once

#include <QFrame>
#include <QImage>

#include "colour_ref.h"

class QPainter;

namespace kestrel {

class CLevelMeter : public QFrame {
  Q_OBJECT
 public:
  explicit CLevelMeter(QWidget* parent = nullptr);

  // Accepted when maximum >= minimum >= 0; no repaint.
  void SetRange(int minimum, int maximum);
  // Accepted when minimum <= value <= maximum; then repainted.
  void SetPos(int value);
  int Pos() const { return value_; }
  // Paints the meter on `painter` (open on this control), or, given none,
  // has the control repainted at once.
  void Draw(QPainter* painter);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  ColorRef ground_ = Rgb(192, 192, 192);
  int minimum_ = 0;
  int maximum_ = 100;
  int segments_ = 10;
  int value_ = 0;
  QImage offscreen_;
};

}  // namespace kestrel
