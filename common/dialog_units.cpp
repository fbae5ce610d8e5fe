#include "dialog_units.h"

#include <cmath>

#include <QFontMetricsF>

namespace kestrel {

CDialogUnits::CDialogUnits(const QFont& font) {
  const QFontMetricsF metrics(font);
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  double total = 0.0;
  for (const char* c = kLetters; *c; ++c) total += metrics.horizontalAdvance(QLatin1Char(*c));
  averageCharWidth_ = total / 52.0;
  charHeight_ = static_cast<int>(std::lround(metrics.height()));
}

QFont CDialogUnits::DialogFont() {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

int CDialogUnits::X(int units) const { return static_cast<int>(std::lround(units * averageCharWidth_ / 4.0)); }

int CDialogUnits::Y(int units) const { return static_cast<int>(std::lround(units * charHeight_ / 8.0)); }

QRect CDialogUnits::ToPixels(int x, int y, int width, int height) const {
  const int left = X(x);
  const int top = Y(y);
  return QRect(left, top, X(x + width) - left, Y(y + height) - top);
}

QRect CDialogUnits::ToPixels(const QRect& units) const {
  return ToPixels(units.x(), units.y(), units.width(), units.height());
}

QSize CDialogUnits::ToPixels(const QSize& units) const { return QSize(X(units.width()), Y(units.height())); }

}  // namespace kestrel
