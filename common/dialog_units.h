// Dialog templates are laid out in dialog units; this turns them into pixels
// the way the dialog manager does: a horizontal unit is a quarter of the
// dialog font's average letter width, a vertical unit an eighth of its line
// height. Every window of both programs is laid out through this one class.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace kestrel {

class CDialogUnits {
 public:
  explicit CDialogUnits(const QFont& font);

  // The templates' font, "MS Sans Serif" 8: the system's sans-serif face at
  // 8 points.
  static QFont DialogFont();

  int X(int units) const;
  int Y(int units) const;
  // Edges are converted one by one, so adjacent controls stay adjacent.
  QRect ToPixels(int x, int y, int width, int height) const;
  QRect ToPixels(const QRect& units) const;
  QSize ToPixels(const QSize& units) const;

  double AverageCharWidth() const { return averageCharWidth_; }
  int CharHeight() const { return charHeight_; }

 private:
  double averageCharWidth_;
  int charHeight_;
};

}  // namespace kestrel
