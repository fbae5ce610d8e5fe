// The browser window's frame: size from the template, no maximising, the
// About box and the program-wide key filter.
#include "browser_dlg.h"
#include "dialog_units.h"
#include "frame_list.h"
#include "key_filter.h"
#include "platform/shell_window.h"
#include "res/resource_ids.h"
#include "support/browser_fixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Closes the next modal dialog and records its title.
struct ModalCloser {
  QStringList titles;
  void Arm() {
    QTimer::singleShot(0, [this] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        titles << modal->windowTitle();
        modal->close();
      }
    });
  }
};

TEST(DialogUnits, ConvertsEdgesSoThatAdjacentControlsStayAdjacent) {
  const CDialogUnits units(QFont(QStringLiteral("DejaVu Sans"), 8));
  ASSERT_GT(units.AverageCharWidth(), 3.0);
  ASSERT_GT(units.CharHeight(), 8);
  const QRect left = units.ToPixels(QRect(3, 5, 11, 7));
  const QRect right = units.ToPixels(QRect(14, 12, 9, 9));
  EXPECT_EQ(left.x() + left.width(), right.x());
  EXPECT_EQ(left.y() + left.height(), right.y());
  EXPECT_EQ(units.ToPixels(QRect(0, 0, 4, 8)).size(),
            QSize(qRound(units.AverageCharWidth()), units.CharHeight()))
      << "four horizontal units are one average letter, eight vertical ones a line";
}

class WindowFrameTest : public BrowserFixture {
 protected:
  void SetUp() override {
    qApp->installEventFilter(&filter);
    Open();
  }
  void TearDown() override {
    qApp->removeEventFilter(&filter);
    BrowserFixture::TearDown();
  }
  CKeyFilter filter;
  ModalCloser closer;
};

TEST_F(WindowFrameTest, RefusesToBeMaximised) {
  EXPECT_FALSE(Window().windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(Window().minimumSize(), Window().maximumSize()) << "no sizing border";
  Window().OnSysCommand(res::SC_MAXIMIZE);
  EXPECT_FALSE(Window().isMaximized());
  Window().showMaximized();
  QTRY_VERIFY(!Window().isMaximized());
  EXPECT_EQ(Window().size(), CDialogUnits(Window().font()).ToPixels(QSize(438, 199)));
}

TEST_F(WindowFrameTest, EverySystemCommandFrom0x10To0x1FOpensTheAboutBox) {
  for (int id = 0x10; id <= 0x1F; ++id) {
    closer.Arm();
    Window().OnSysCommand(id);
  }
  EXPECT_EQ(closer.titles.size(), 16);
  EXPECT_EQ(closer.titles.front(), "About Frames Browser");
  closer.Arm();
  Window().OnSysCommand(0x20);
  QApplication::processEvents();
  EXPECT_EQ(closer.titles.size(), 16);
}

TEST_F(WindowFrameTest, F1AndTheWindowsOwnMenuOpenTheAboutBox) {
  closer.Arm();
  QTest::keyClick(Window().List(), Qt::Key_F1);
  EXPECT_EQ(closer.titles, QStringList{"About Frames Browser"});

  // A right click on the window outside the list offers the About entry.
  QStringList entries;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    for (QAction* action : menu->actions()) entries << action->text();
    closer.Arm();
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().front()).center());
  });
  const QPoint outside = Window().ThumbnailsOnlyBox()->geometry().topRight() + QPoint(40, 2);
  QContextMenuEvent event(QContextMenuEvent::Mouse, outside, Window().mapToGlobal(outside));
  QApplication::sendEvent(&Window(), &event);
  EXPECT_EQ(entries, QStringList{"&About Kestrel Frames Browser..."});
  EXPECT_EQ(closer.titles.size(), 2);
}

TEST_F(WindowFrameTest, EscapeAndEnterCloseNeitherTheWindowNorTheAboutBox) {
  QPointer<CBrowserDlg> window(&Window());
  QTest::keyClick(Window().List(), Qt::Key_Escape);
  QTest::keyClick(Window().List(), Qt::Key_Return);
  QApplication::processEvents();
  ASSERT_TRUE(window);
  EXPECT_TRUE(Window().isVisible());

  bool stillOpen = false;
  QTimer::singleShot(0, [&] {
    QWidget* about = QApplication::activeModalWidget();
    if (!about) return;
    QTest::keyClick(about, Qt::Key_Escape);
    QTest::keyClick(about, Qt::Key_Return);
    QTest::keyClick(about, Qt::Key_Enter);
    stillOpen = about->isVisible();
    about->findChild<QPushButton*>()->click();
  });
  Window().OnSysCommand(res::IDM_ABOUTBOX);
  EXPECT_TRUE(stillOpen);
}

TEST(KeyFilter, DropsOnlyEscapeAndEnterPressesOfTheProgramsWindows) {
  QWidget own;
  QWidget shellBox;
  MarkAsShellWindow(&shellBox);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::NoModifier);
  QKeyEvent ret(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
  QKeyEvent other(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
  EXPECT_TRUE(CKeyFilter::Drops(&own, &escape));
  EXPECT_TRUE(CKeyFilter::Drops(&own, &enter));
  EXPECT_TRUE(CKeyFilter::Drops(&own, &ret));
  EXPECT_FALSE(CKeyFilter::Drops(&own, &release));
  EXPECT_FALSE(CKeyFilter::Drops(&own, &other));
  EXPECT_FALSE(CKeyFilter::Drops(&shellBox, &escape));
  QMenu menu;
  EXPECT_FALSE(CKeyFilter::Drops(&menu, &escape)) << "Escape still closes a popup menu";
}

}  // namespace
