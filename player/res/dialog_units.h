// Dialog templates are laid out in dialog units; this turns them into pixels
// the way the templates were designed: a horizontal unit is a quarter of the
// dialog font's average letter width, a vertical unit an eighth of its height.
#pragma once

#include <QFont>
#include <QRect>

namespace kestrel {

class CDialogUnits {
 public:
  explicit CDialogUnits(const QFont& font);

  // The templates' font: a sans-serif user-interface font at 8 points.
  static QFont DialogFont();

  int X(int units) const;
  int Y(int units) const;
  QRect ToPixels(int x, int y, int width, int height) const;

  double AverageCharWidth() const { return averageCharWidth_; }
  int CharHeight() const { return charHeight_; }

 private:
  double averageCharWidth_;
  int charHeight_;
};

}  // namespace kestrel
