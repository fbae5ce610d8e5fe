// The current frame from keys and clicks, and the Thumbnails Only mode.
#include "browser_dlg.h"
#include "frame_list.h"
#include "key_prediction.h"
#include "preview_pane.h"
#include "support/browser_fixture.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>

namespace kestrel::stillbox {

namespace {

struct Prediction {
  int key;
  int first;
  int expected;
};

TEST(KeyPrediction, FiveFramesTwoPerRow) {
  const Prediction cases[] = {
      {Qt::Key_Right, 2, 3},    {Qt::Key_Left, 2, 2},   {Qt::Key_Left, 3, 2},     {Qt::Key_Right, 3, 3},
      {Qt::Key_Right, 4, 4},    {Qt::Key_Left, 0, 0},   {Qt::Key_Down, 2, 4},     {Qt::Key_Down, 3, 3},
      {Qt::Key_Up, 1, 1},       {Qt::Key_Up, 3, 1},     {Qt::Key_PageDown, 0, 4}, {Qt::Key_PageDown, 2, 4},
      {Qt::Key_PageDown, 3, 3}, {Qt::Key_PageUp, 3, 0}, {Qt::Key_PageUp, 1, 1},   {Qt::Key_PageUp, 4, 0},
      {Qt::Key_Home, 3, 0},     {Qt::Key_End, 1, 4},    {Qt::Key_A, 3, 3},        {Qt::Key_Down, -1, 1},
      {Qt::Key_Right, -1, -1},  {Qt::Key_Left, -1, -1}, {Qt::Key_Up, -1, -1},     {Qt::Key_Home, -1, 0},
  };
  for (const Prediction& c : cases) {
    EXPECT_EQ(PredictKeyTarget(c.key, c.first, 5), c.expected)
        << "key " << std::hex << c.key << std::dec << " from " << c.first;
  }
}

TEST(KeyPrediction, NoFrames) {
  for (int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,
                  Qt::Key_End}) {
    EXPECT_EQ(PredictKeyTarget(key, -1, 0), -1) << std::hex << key;
  }
}

class SelectionTest : public BrowserFixture {
 protected:
  void SetUp() override {
    for (int i = 0; i < 5; ++i) folder.AddFrame(QStringLiteral("frame%1.bmp").arg(i), QColor(40 * i, 200, 0));
    Open();
    ASSERT_EQ(Window().List()->count(), 5);
  }
  void Press(Qt::Key key) { QTest::keyClick(Window().List(), key); }
};

TEST_F(SelectionTest, AKeyShowsTheFrameItIsExpectedToReach) {
  Select({2});
  Press(Qt::Key_Right);
  EXPECT_EQ(Window().CurrentFrame(), 3);
  EXPECT_EQ(Caption(), "5 Frames    [Showing frame3.bmp]");
  ASSERT_NE(Window().Preview()->Picture(), nullptr);

  Window().List()->clearSelection();
  Press(Qt::Key_Down);
  EXPECT_EQ(Window().CurrentFrame(), 1) << "with nothing selected Down gives 1";
  Press(Qt::Key_End);
  EXPECT_EQ(Window().CurrentFrame(), 4);
  EXPECT_EQ(Caption(), "5 Frames    [Showing frame4.bmp]");
}

TEST_F(SelectionTest, ClickOnAnItemPreviewsItAndOnEmptySpaceEmptiesThePane) {
  ClickItem(3);
  EXPECT_EQ(Window().CurrentFrame(), 3);
  EXPECT_EQ(Caption(), "5 Frames    [Showing frame3.bmp]");
  ASSERT_NE(Window().Preview()->Picture(), nullptr);
  const QImage shot = Window().Preview()->grab().toImage();
  EXPECT_EQ(shot.pixelColor(Window().Preview()->Destination().center()), QColor(120, 200, 0));

  ClickEmptySpace();
  EXPECT_EQ(Window().CurrentFrame(), -1);
  EXPECT_EQ(Window().Preview()->Picture(), nullptr);
  EXPECT_EQ(Caption(), "5 Frames");
}

TEST_F(SelectionTest, AFrameGoneFromDiskEmptiesThePaneButStillNamesTheFrame) {
  ClickItem(1);
  ASSERT_TRUE(QFile::remove(folder.FramePath("frame3.bmp")));
  ClickItem(3);
  EXPECT_EQ(Window().Preview()->Picture(), nullptr) << "frame1 must not be shown as frame3";
  EXPECT_EQ(Caption(), "5 Frames    [Showing frame3.bmp]");
  // Cut short since the listing: no half picture either.
  ClickItem(1);
  ASSERT_TRUE(QFile::resize(folder.FramePath("frame4.bmp"), 100000));
  ClickItem(4);
  EXPECT_EQ(Window().Preview()->Picture(), nullptr);
}

TEST_F(SelectionTest, ThumbnailsOnlyWidensTheListToThePanesRightEdgeAndRestoresIt) {
  const QRect list = Window().List()->geometry();
  const QRect pane = Window().Preview()->geometry();
  ClickItem(0);
  QTest::mouseClick(Window().ThumbnailsOnlyBox(), Qt::LeftButton);
  ASSERT_TRUE(Window().ThumbnailsOnly());
  EXPECT_TRUE(Window().ThumbnailsOnlyBox()->isChecked());
  EXPECT_FALSE(Window().Preview()->isVisible());
  EXPECT_EQ(Window().List()->x() + Window().List()->width(), pane.x() + pane.width());
  EXPECT_EQ(Window().List()->pos(), list.topLeft());
  EXPECT_EQ(Window().List()->height(), list.height());
  EXPECT_EQ(Caption(), "5 Frames");

  ClickItem(2);
  EXPECT_EQ(Caption(), "5 Frames") << "the frame is remembered, not shown";
  EXPECT_EQ(Window().CurrentFrame(), 2);

  QTest::mouseClick(Window().ThumbnailsOnlyBox(), Qt::LeftButton);
  EXPECT_FALSE(Window().ThumbnailsOnly());
  EXPECT_EQ(Window().List()->geometry(), list);
  EXPECT_TRUE(Window().Preview()->isVisible());
  EXPECT_EQ(Caption(), "5 Frames    [Showing frame2.bmp]");
  ASSERT_NE(Window().Preview()->Picture(), nullptr);
}

TEST_F(SelectionTest, TheListShowsTwoThumbnailsPerRow) {
  // The key prediction rests on it.
  const QRect first = Window().List()->visualItemRect(Window().List()->item(0));
  const QRect second = Window().List()->visualItemRect(Window().List()->item(1));
  const QRect third = Window().List()->visualItemRect(Window().List()->item(2));
  EXPECT_EQ(first.top(), second.top());
  EXPECT_GT(third.top(), first.top());
  EXPECT_EQ(third.left(), first.left());
}

using EmptySelectionTest = BrowserFixture;

TEST_F(EmptySelectionTest, HomeOnAnEmptyListLeavesNoCurrentFrame) {
  Open();
  QTest::keyClick(Window().List(), Qt::Key_Home);
  EXPECT_EQ(Window().CurrentFrame(), -1);
  EXPECT_EQ(Caption(), "0 Frames");
}

}  // namespace

}  // namespace kestrel::stillbox
