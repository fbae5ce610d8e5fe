// Dialog templates are laid out in dialog units, which scale with the dialog
// font: a horizontal unit is a quarter of the font's average width of the 52
// letters A-Z and a-z, a vertical unit an eighth of its line height (rounded
// to whole pixels); each coordinate is rounded to the nearest pixel. Every
// window of both programs is laid out through this one class.
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
