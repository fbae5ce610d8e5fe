#include "dialog_units.h"

#include <QFontMetricsF>
#include <QFontMetrics>

#include <cmath>

namespace {

constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kLetterCount = 52;

}  // namespace

CDialogUnits::CDialogUnits(const QFont& font)
    : m_avgCharWidth(QFontMetricsF(font).horizontalAdvance(QString::fromLatin1(kLetters)) / kLetterCount),
      m_charHeight(QFontMetrics(font).height()) {}

QFont CDialogUnits::TemplateFont(const QString& family, int points) {
  QFont font(family == QLatin1String("MS Sans Serif") ? QStringLiteral("Sans Serif") : family, points);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

int CDialogUnits::X(int dluX) const {
  return static_cast<int>(std::lround(dluX * m_avgCharWidth / 4.0));
}

int CDialogUnits::Y(int dluY) const {
  return static_cast<int>(std::lround(dluY * m_charHeight / 8.0));
}

QRect CDialogUnits::ToPixels(const QRect& dluRect) const {
  const int left = X(dluRect.x());
  const int top = Y(dluRect.y());
  const int right = X(dluRect.x() + dluRect.width());
  const int bottom = Y(dluRect.y() + dluRect.height());
  return QRect(left, top, right - left, bottom - top);
}

QSize CDialogUnits::ToPixels(const QSize& dluSize) const {
  return QSize(X(dluSize.width()), Y(dluSize.height()));
}
