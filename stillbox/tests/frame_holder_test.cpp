#include "frame_holder.h"
#include "preview_pane.h"
#include "support/frames_folder.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>

#include <vector>

namespace kestrel::stillbox {

namespace {

QImage TopRedBottomBlue(QSize size) {
  QImage image(size, QImage::Format_RGB888);
  image.fill(QColor(0, 0, 255));
  QPainter(&image).fillRect(0, 0, size.width(), size.height() / 2, QColor(255, 0, 0));
  return image;
}

TEST(FrameHolder, LoadsA24BitFrameTopRowFirst) {
  FramesFolder folder;
  folder.AddPicture("odd.bmp", TopRedBottomBlue(QSize(321, 10)));
  CFrameHolder holder;
  ASSERT_TRUE(holder.Load(folder.FramePath("odd.bmp")));
  EXPECT_EQ(holder.Width(), 321);
  EXPECT_EQ(holder.Height(), 10);
  EXPECT_EQ(holder.BitsPerPixel(), 24);
  const QImage& image = holder.Image();
  EXPECT_EQ(image.format(), QImage::Format_BGR888);
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0)) << "the top rows are red";
  EXPECT_EQ(image.pixel(320, 4), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(0, 5), qRgb(0, 0, 255)) << "the bottom rows are blue";
  EXPECT_EQ(image.pixel(320, 9), qRgb(0, 0, 255));
}

TEST(FrameHolder, ConvertsAnEightBitFrameTo24Bits) {
  FramesFolder folder;
  folder.AddIndexedFrame("eight.bmp");
  CFrameHolder holder;
  ASSERT_TRUE(holder.Load(folder.FramePath("eight.bmp")));
  EXPECT_EQ(holder.BitsPerPixel(), 24);
  EXPECT_EQ(holder.Image().format(), QImage::Format_BGR888);
  // Palette entry 0 is RGB(200, 10, 10).
  EXPECT_EQ(holder.Image().pixel(0, 0), qRgb(200, 10, 10));
}

TEST(FrameHolder, AFailedLoadLeavesNoPicture) {
  FramesFolder folder;
  folder.AddFrame("good.bmp");
  folder.AddBrokenFile("broken.bmp");
  CFrameHolder holder;
  ASSERT_TRUE(holder.Load(folder.FramePath("good.bmp")));
  EXPECT_FALSE(holder.Load(folder.FramePath("broken.bmp")));
  EXPECT_TRUE(holder.IsEmpty()) << "the previous picture must not stand in for the broken one";
  EXPECT_FALSE(holder.Load(folder.FramePath("missing.bmp")));
  EXPECT_EQ(holder.Width(), 0);
}

class PreviewPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pane.resize(400, 300);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
  }
  QImage Shot() { return pane.grab().toImage().convertToFormat(QImage::Format_RGB32); }

  FramesFolder folder;
  CFrameHolder holder;
  CPreviewPane pane;
};

TEST_F(PreviewPaneTest, CentresASmallerPictureWithEqualMargins) {
  folder.AddFrame("f.bmp", QColor(0, 200, 0));
  ASSERT_TRUE(holder.Load(folder.FramePath("f.bmp")));
  pane.SetPicture(&holder);
  const QRect client = pane.contentsRect();
  const QRect dest = pane.Destination();
  EXPECT_EQ(dest.size(), QSize(320, 240)) << "never scaled";
  const int leftMargin = dest.left() - client.left();
  const int rightMargin = client.right() - dest.right();
  const int topMargin = dest.top() - client.top();
  const int bottomMargin = client.bottom() - dest.bottom();
  EXPECT_LE(std::abs(leftMargin - rightMargin), 1);
  EXPECT_LE(std::abs(topMargin - bottomMargin), 1);
  EXPECT_GT(leftMargin, 0);

  const QImage shot = Shot();
  EXPECT_EQ(shot.pixelColor(dest.topLeft()), QColor(0, 200, 0));
  EXPECT_EQ(shot.pixelColor(dest.bottomRight()), QColor(0, 200, 0));
  EXPECT_NE(shot.pixelColor(dest.left() - 1, dest.top()), QColor(0, 200, 0));
  EXPECT_NE(shot.pixelColor(dest.right() + 1, dest.bottom()), QColor(0, 200, 0));
}

TEST_F(PreviewPaneTest, ALargerPictureStartsAtTheTopLeftAndIsCutOff) {
  QImage big(640, 480, QImage::Format_RGB888);
  big.fill(QColor(200, 0, 0));
  QPainter(&big).fillRect(0, 0, 1, 1, QColor(0, 0, 200));
  folder.AddPicture("big.bmp", big);
  ASSERT_TRUE(holder.Load(folder.FramePath("big.bmp")));
  pane.SetPicture(&holder);
  const QRect client = pane.contentsRect();
  EXPECT_EQ(pane.Destination().topLeft(), client.topLeft());
  const QImage shot = Shot();
  EXPECT_EQ(shot.pixelColor(client.topLeft()), QColor(0, 0, 200)) << "the picture's own first pixel";
  EXPECT_EQ(shot.pixelColor(client.bottomRight()), QColor(200, 0, 0));
  EXPECT_NE(shot.pixelColor(pane.width() - 1, pane.height() - 1), QColor(200, 0, 0))
      << "the sunken edge is not painted over";
}

TEST_F(PreviewPaneTest, NoPictureShowsAnEmptyPane) {
  folder.AddFrame("f.bmp", QColor(0, 200, 0));
  ASSERT_TRUE(holder.Load(folder.FramePath("f.bmp")));
  pane.SetPicture(&holder);
  const QPoint centre = pane.rect().center();
  ASSERT_EQ(Shot().pixelColor(centre), QColor(0, 200, 0));
  pane.SetPicture(nullptr);
  EXPECT_NE(Shot().pixelColor(centre), QColor(0, 200, 0));
}

TEST_F(PreviewPaneTest, DrawsWhatTheHolderHoldsAtPaintTimeWherePlacedBefore) {
  folder.AddFrame("green.bmp", QColor(0, 200, 0));
  folder.AddFrame("red.bmp", QColor(200, 0, 0));
  ASSERT_TRUE(holder.Load(folder.FramePath("green.bmp")));
  pane.SetPicture(&holder);
  const QRect placed = pane.Destination();
  ASSERT_TRUE(holder.Load(folder.FramePath("red.bmp")));
  pane.resize(600, 500);
  EXPECT_EQ(pane.Destination(), placed) << "the position is computed once per SetPicture";
  EXPECT_EQ(Shot().pixelColor(placed.center()), QColor(200, 0, 0));
}

}  // namespace

}  // namespace kestrel::stillbox
