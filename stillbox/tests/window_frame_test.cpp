// The browser window's frame: size from the template, no maximising and the
// About box.
#include "browser_dlg.h"
#include "dialog_units.h"
#include "frame_list.h"
#include "res/resource_ids.h"
#include "support/browser_fixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace kestrel::stillbox {

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

class WindowFrameTest : public BrowserFixture {
 protected:
  void SetUp() override { Open(); }
  ModalCloser closer;
};

TEST_F(WindowFrameTest, RefusesToBeMaximised) {
  EXPECT_FALSE(Window().windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(Window().minimumSize(), Window().maximumSize()) << "no sizing border";
  Window().showMaximized();
  QTRY_VERIFY(!Window().isMaximized());
  EXPECT_EQ(Window().size(), Window().minimumSize()) << "the fixed size it was laid out at";
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

}  // namespace

}  // namespace kestrel::stillbox
