#include "browser_fixture.h"

#include "frame_list.h"

#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace kestrel::stillbox {

void BrowserFixture::TearDown() { delete window_.data(); }

CBrowserDlg& BrowserFixture::Open() {
  window_ = new CBrowserDlg(BrowserServices{search, shell, saveDialog}, folder.Path());
  window_->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(window_));
  // The first listing runs from the event the window posted to itself.
  QCoreApplication::processEvents();
  return *window_;
}

QStringList BrowserFixture::Labels() const {
  QStringList labels;
  for (int row = 0; row < window_->List()->count(); ++row) labels << window_->List()->item(row)->text();
  return labels;
}

QString BrowserFixture::Caption() const { return window_->Group()->title(); }

void BrowserFixture::Select(std::initializer_list<int> rows) {
  window_->List()->clearSelection();
  for (int row : rows) window_->List()->item(row)->setSelected(true);
}

QPoint BrowserFixture::ItemCentre(int row) const {
  return window_->List()->visualItemRect(window_->List()->item(row)).center();
}

QPoint BrowserFixture::EmptySpot() const {
  const QRect viewport = window_->List()->viewport()->rect();
  return QPoint(viewport.right() - 3, viewport.bottom() - 3);
}

void BrowserFixture::ClickItem(int row) {
  QTest::mouseClick(window_->List()->viewport(), Qt::LeftButton, {}, ItemCentre(row));
}

void BrowserFixture::ClickEmptySpace() {
  QTest::mouseClick(window_->List()->viewport(), Qt::LeftButton, {}, EmptySpot());
}

void BrowserFixture::RightClick(const QPoint& viewportPos) {
  QTest::mouseClick(window_->List()->viewport(), Qt::RightButton, {}, viewportPos);
}

void BrowserFixture::AnswerNextPopup(const QString& text) {
  popupItems.clear();
  QTimer::singleShot(0, [this, text] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    QAction* choice = nullptr;
    for (QAction* action : menu->actions()) {
      if (action->isSeparator()) continue;
      popupItems << action->text();
      if (action->text() == text) choice = action;
    }
    if (choice) {
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(choice).center());
    } else {
      menu->close();
    }
  });
}

}  // namespace kestrel::stillbox
