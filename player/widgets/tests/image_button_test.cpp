// CImageButton: its pictures in every look, hot tracking, clicks and tool tips.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "image_button.h"
#include "picture_resources.h"
#include "resource_ids.h"
#include "string_table.h"
#include "tool_tip.h"

namespace kestrel {
namespace {

constexpr int kWidth = 46;
constexpr int kHeight = 38;

class ImageButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(120, 80);
    button_ = new CImageButton(&window_);
    button_->setGeometry(10, 10, kWidth, kHeight);
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }

  void Activate() {
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    if (!QApplication::activeWindow()) QApplication::setActiveWindow(&window_);
    ASSERT_EQ(QApplication::activeWindow(), &window_);
  }

  void Move(QPoint pos, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent move(QEvent::MouseMove, pos, button_->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(button_, &move);
  }

  void Send(QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
    QMouseEvent event(type, pos, button_->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(button_, &event);
  }

  QImage Grab() { return button_->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  // The button's picture built pixel by pixel, independently of its painting
  // code: the face, the border of the look (lines that stop before their end
  // point) and the icon at its place.
  QImage Expected(bool latched, bool sunken, bool raised, int iconId) {
    const QPalette& palette = button_->palette();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(latched ? palette.color(QPalette::Disabled, QPalette::Text) : palette.color(QPalette::Button));
    const QColor dark = palette.color(QPalette::Dark);
    const QColor light = palette.color(QPalette::Light);
    if (sunken || raised) {
      const QColor topLeft = sunken ? dark : light;
      const QColor bottomRight = sunken ? light : dark;
      // Left column without its bottom pixel, top row without the last one;
      // then the bottom row and the right column whole.
      for (int y = 1; y < kHeight; ++y) image.setPixelColor(0, y, topLeft);
      for (int x = 0; x < kWidth; ++x) image.setPixelColor(x, 0, topLeft);
      for (int x = 0; x < kWidth - 1; ++x) image.setPixelColor(x, kHeight - 1, bottomRight);
      for (int y = 0; y < kHeight; ++y) image.setPixelColor(kWidth - 1, y, bottomRight);
    }
    if (iconId != 0) {
      const std::optional<IconResource> icon = LoadIconResource(iconId);
      const int shift = sunken ? 1 : 0;
      QPainter painter(&image);
      painter.drawPixmap((kWidth - 32) / 2 + shift, (kHeight - 32) / 2 + shift, icon->icon.pixmap(QSize(32, 32), 1.0));
    }
    return image;
  }

  QWidget window_;
  CImageButton* button_ = nullptr;
};

TEST_F(ImageButtonTest, DrawsEachLookPixelExact) {
  ASSERT_TRUE(button_->SetIcons(IDI_PLAY, 0));
  EXPECT_EQ(button_->ImageWidth(), 32);
  EXPECT_EQ(button_->ImageHeight(), 32);
  EXPECT_EQ(Grab(), Expected(false, false, false, IDI_PLAY)) << "at rest: the icon only, no border";

  Activate();
  Move(QPoint(20, 20));
  ASSERT_TRUE(button_->IsHot());
  EXPECT_EQ(Grab(), Expected(false, false, true, IDI_PLAY)) << "hot: raised border";

  Send(QEvent::MouseButtonPress, QPoint(20, 20), Qt::LeftButton);
  ASSERT_TRUE(button_->isDown());
  EXPECT_EQ(Grab(), Expected(false, true, false, IDI_PLAY)) << "pressed: sunken, icon moved by (1, 1)";
  Send(QEvent::MouseButtonRelease, QPoint(20, 20), Qt::NoButton);
}

TEST_F(ImageButtonTest, KeyboardFocusShowsADottedMarkAndAClickAloneDoesNot) {
  ASSERT_TRUE(button_->SetIcons(IDI_STOP, 0));
  QPushButton other(QStringLiteral("Other"), &window_);
  other.setGeometry(70, 10, 40, 20);
  other.show();
  Activate();
  // A click gives the focus too, but no mark: the user did not use the keys.
  Send(QEvent::MouseButtonPress, QPoint(20, 20), Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, QPoint(20, 20), Qt::NoButton);
  Move(QPoint(200, 200));
  button_->clearFocus();
  button_->setFocus(Qt::MouseFocusReason);
  ASSERT_TRUE(button_->hasFocus());
  EXPECT_EQ(Grab(), Expected(false, false, false, IDI_STOP));

  button_->clearFocus();
  QTest::keyClick(&window_, Qt::Key_Tab);
  ASSERT_TRUE(button_->hasFocus());
  // Every other pixel of the rectangle 3 pixels inside the edges, over the icon.
  QImage expected = Expected(false, false, false, IDI_STOP);
  const QColor mark = button_->palette().color(QPalette::ButtonText);
  for (int y = 3; y <= kHeight - 4; ++y) {
    for (int x = 3; x <= kWidth - 4; ++x) {
      const bool onEdge = x == 3 || y == 3 || x == kWidth - 4 || y == kHeight - 4;
      if (onEdge && (x + y) % 2 == 0) expected.setPixelColor(x, y, mark);
    }
  }
  EXPECT_EQ(Grab(), expected);

  QTest::keyClick(&window_, Qt::Key_Tab);
  EXPECT_FALSE(button_->hasFocus());
  EXPECT_EQ(Grab(), Expected(false, false, false, IDI_STOP)) << "the mark goes with the focus";
}

TEST_F(ImageButtonTest, LatchedIsSunkenOnTheGreyTextColourWhereverThePointerIs) {
  ASSERT_TRUE(button_->SetIcons(IDI_VOLUME, 0));
  button_->SetLatched(true);
  EXPECT_EQ(Grab(), Expected(true, true, false, IDI_VOLUME));
  Activate();
  Move(QPoint(5, 5));
  ASSERT_TRUE(button_->IsHot());
  EXPECT_EQ(Grab(), Expected(true, true, false, IDI_VOLUME));
  button_->SetLatched(false);
  EXPECT_EQ(Grab(), Expected(false, false, true, IDI_VOLUME));
}

TEST_F(ImageButtonTest, MissingIconGivesFalseAndNoImage) {
  ASSERT_TRUE(button_->SetIcons(IDI_STOP, 0));
  EXPECT_FALSE(button_->SetIcons(4242, 0));
  EXPECT_EQ(Grab(), Expected(false, false, false, 0));
  EXPECT_FALSE(button_->SetIcons(IDI_STOP, 4242)) << "a missing second icon fails too";
}

TEST_F(ImageButtonTest, HotTrackingFollowsThePointerOnlyWhileTheApplicationIsActive) {
  QApplication::setActiveWindow(nullptr);
  ASSERT_EQ(QApplication::activeWindow(), nullptr);
  Move(QPoint(20, 20));
  EXPECT_FALSE(button_->IsHot()) << "an inactive application's button does not light up";

  Activate();
  Move(QPoint(20, 20));
  EXPECT_TRUE(button_->IsHot());
  Move(QPoint(kWidth + 5, 20));
  EXPECT_FALSE(button_->IsHot()) << "moved off the button";

  Move(QPoint(20, 20));
  ASSERT_TRUE(button_->IsHot());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(button_, &leave);
  EXPECT_FALSE(button_->IsHot()) << "left the button";

  Move(QPoint(20, 20));
  ASSERT_TRUE(button_->IsHot());
  QFocusEvent focusOut(QEvent::FocusOut);
  QApplication::sendEvent(button_, &focusOut);
  EXPECT_FALSE(button_->IsHot()) << "lost the focus";
}

TEST_F(ImageButtonTest, DraggingOffWithTheButtonHeldClearsHotAndReleasingOutsideDoesNotClick) {
  QSignalSpy clicks(button_, &QPushButton::clicked);
  Activate();
  Move(QPoint(20, 20));
  Send(QEvent::MouseButtonPress, QPoint(20, 20), Qt::LeftButton);
  Move(QPoint(kWidth + 20, 20), Qt::LeftButton);
  EXPECT_FALSE(button_->IsHot());
  Move(QPoint(kWidth + 25, 20), Qt::LeftButton);
  EXPECT_FALSE(button_->IsHot()) << "a held button does not light up again outside";
  Send(QEvent::MouseButtonRelease, QPoint(kWidth + 25, 20), Qt::NoButton);
  EXPECT_EQ(clicks.count(), 0);
}

TEST_F(ImageButtonTest, ADoubleClickCountsAsTwoClicksAndTheButtonStaysHotAfterAClick) {
  QSignalSpy clicks(button_, &QPushButton::clicked);
  Activate();
  Move(QPoint(20, 20));
  Send(QEvent::MouseButtonPress, QPoint(20, 20), Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, QPoint(20, 20), Qt::NoButton);
  EXPECT_TRUE(button_->IsHot()) << "the pointer is still on it";
  Send(QEvent::MouseButtonDblClick, QPoint(20, 20), Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, QPoint(20, 20), Qt::NoButton);
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ImageButtonTest, HandCursorHasItsHotSpotAtTheFingerTip) {
  ASSERT_TRUE(button_->SetHoverCursor(IDC_HAND_CURSOR));
  const QCursor cursor = button_->cursor();
  EXPECT_EQ(cursor.hotSpot(), QPoint(13, 9));
  const QImage picture = cursor.pixmap().toImage();
  ASSERT_EQ(picture.size(), QSize(32, 32));
  EXPECT_EQ(picture.pixelColor(13, 9), QColor(Qt::black)) << "the outline of the finger tip";
  EXPECT_EQ(picture.pixelColor(13, 8).alpha(), 0) << "nothing above the tip";
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const QColor c = picture.pixelColor(x, y);
      ASSERT_TRUE(c.alpha() == 0 || c == QColor(Qt::black) || c == QColor(Qt::white))
          << "monochrome at " << x << "," << y;
    }
  }
  EXPECT_FALSE(button_->SetHoverCursor(4242));
  EXPECT_EQ(button_->cursor().hotSpot(), QPoint(13, 9)) << "a missing cursor leaves the one there";
}

TEST_F(ImageButtonTest, ToolTipHasOneToolWhoseTextChanges) {
  EXPECT_FALSE(button_->SetToolTipText(4242));
  EXPECT_EQ(button_->ToolTip(), nullptr) << "nothing created for a missing string";
  ASSERT_TRUE(button_->SetToolTipText(IDS_PLAY));
  ASSERT_NE(button_->ToolTip(), nullptr);
  EXPECT_EQ(button_->ToolTip()->Text(), QStringLiteral("Play"));
  EXPECT_TRUE(button_->ToolTip()->IsActive());
  ASSERT_TRUE(button_->SetToolTipText(IDS_PAUSE));
  EXPECT_EQ(button_->ToolTip()->Text(), QStringLiteral("Pause"));
  EXPECT_FALSE(button_->SetToolTipText(4242));
  EXPECT_EQ(button_->ToolTip()->Text(), QStringLiteral("Pause")) << "a missing string leaves the tip";
}

TEST_F(ImageButtonTest, ToolTipAppearsWhenThePointerRestsAndGoesOnAPress) {
  ASSERT_TRUE(button_->SetToolTipText(IDS_STOP));
  Activate();
  QEnterEvent enter(QPointF(20, 20), QPointF(20, 20), button_->mapToGlobal(QPointF(20, 20)));
  QApplication::sendEvent(button_, &enter);
  Move(QPoint(20, 20));
  QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 2000);
  EXPECT_EQ(QToolTip::text(), QStringLiteral("Stop"));
  Send(QEvent::MouseButtonPress, QPoint(20, 20), Qt::LeftButton);
  EXPECT_FALSE(button_->ToolTip()->IsShowing());
  Send(QEvent::MouseButtonRelease, QPoint(20, 20), Qt::NoButton);
  QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), 2000);
}

TEST(PictureResourcesTest, TransportIconsAreBlueWithLightAndDarkEdgesAtBothScales) {
  for (int id : {IDI_PLAY, IDI_PAUSE, IDI_STOP}) {
    const std::optional<IconResource> icon = LoadIconResource(id);
    ASSERT_TRUE(icon) << id;
    EXPECT_EQ(icon->size, QSize(32, 32));
    for (qreal scale : {1.0, 2.0}) {
      const QImage image = icon->icon.pixmap(QSize(32, 32), scale).toImage().convertToFormat(QImage::Format_ARGB32);
      ASSERT_EQ(image.size(), QSize(32, 32) * scale) << id << " at " << scale;
      EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "transparent ground";
      int blue = 0, white = 0, grey = 0;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          const QColor c = image.pixelColor(x, y);
          blue += c == QColor(0x1E, 0x5A, 0xC8);
          white += c == QColor(Qt::white);
          grey += c == QColor(0x80, 0x80, 0x80);
        }
      }
      EXPECT_GT(blue, white) << id;
      EXPECT_GT(white, 0) << id;
      EXPECT_GT(grey, 0) << id;
    }
  }
  EXPECT_TRUE(LoadIconResource(IDI_VOLUME));
  EXPECT_TRUE(LoadIconResource(IDI_APPLICATION_ICON));
  EXPECT_TRUE(LoadBitmapResource(IDB_ABOUT));
  EXPECT_FALSE(LoadIconResource(IDC_HAND_CURSOR)) << "a cursor is not an icon";
}

// Qt's pixmap cache keeps what an icon paints under that icon's key: a button
// that took a fresh icon at every Play, Pause and Stop filled the cache with
// copies, and the player's memory grew with every message opened.
TEST(PictureResourcesTest, AnIconLoadedAgainIsTheSameIconAndPaintsTheSamePixmap) {
  for (int id : {IDI_PLAY, IDI_PAUSE, IDI_STOP, IDI_VOLUME}) {
    const std::optional<IconResource> first = LoadIconResource(id);
    const std::optional<IconResource> again = LoadIconResource(id);
    ASSERT_TRUE(first && again) << id;
    EXPECT_EQ(first->icon.cacheKey(), again->icon.cacheKey()) << id;
    EXPECT_EQ(first->icon.pixmap(QSize(32, 32)).cacheKey(), again->icon.pixmap(QSize(32, 32)).cacheKey()) << id;
  }
  const std::optional<IconResource> play = LoadIconResource(IDI_PLAY);
  const std::optional<IconResource> pause = LoadIconResource(IDI_PAUSE);
  EXPECT_NE(play->icon.cacheKey(), pause->icon.cacheKey()) << "each picture has an icon of its own";
}

}  // namespace
}  // namespace kestrel
