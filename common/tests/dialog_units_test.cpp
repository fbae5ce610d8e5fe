#include <gtest/gtest.h>

#include "dialog_units.h"

namespace kestrel {
namespace {

TEST(DialogUnits, ConvertsEdgesSoThatAdjacentControlsStayAdjacent) {
  const CDialogUnits units(QFont(QStringLiteral("DejaVu Sans"), 8));
  ASSERT_GT(units.AverageCharWidth(), 3.0);
  ASSERT_GT(units.CharHeight(), 8);
  const QRect left = units.ToPixels(QRect(3, 5, 11, 7));
  const QRect right = units.ToPixels(14, 12, 9, 9);
  EXPECT_EQ(left.x() + left.width(), right.x());
  EXPECT_EQ(left.y() + left.height(), right.y());
  EXPECT_EQ(units.ToPixels(QSize(4, 8)), QSize(qRound(units.AverageCharWidth()), units.CharHeight()))
      << "four horizontal units are one average letter, eight vertical ones a line";
  EXPECT_EQ(units.ToPixels(QRect(0, 0, 438, 199)).size(), units.ToPixels(QSize(438, 199)));
}

}  // namespace
}  // namespace kestrel
