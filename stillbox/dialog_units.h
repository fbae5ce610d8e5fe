#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

// Converts dialog units of a template's font into pixels the way the dialog
// manager does: a horizontal unit is a quarter of the font's average letter
// width, a vertical unit an eighth of its height. Every control position and
// window size of the browser goes through this one class.
class CDialogUnits {
 public:
  explicit CDialogUnits(const QFont& font);

  // The font that stands in for a template's font ("MS Sans Serif" becomes the
  // system's sans-serif face at the same point size).
  static QFont TemplateFont(const QString& family, int points);

  int X(int dluX) const;
  int Y(int dluY) const;
  // Edges are converted one by one, so adjacent controls stay adjacent.
  QRect ToPixels(const QRect& dluRect) const;
  QSize ToPixels(const QSize& dluSize) const;

  double AverageCharWidth() const { return m_avgCharWidth; }
  int CharHeight() const { return m_charHeight; }

 private:
  double m_avgCharWidth;
  int m_charHeight;
};
