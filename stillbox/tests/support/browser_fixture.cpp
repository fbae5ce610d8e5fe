#include "browser_fixture.h"

#include "frame_list.h"

#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QTest>
#include <QTimer>

void BrowserFixture::TearDown() { delete m_window.data(); }

CBrowserDlg& BrowserFixture::Open() {
  m_window = new CBrowserDlg(BrowserServices{search, shell, saveDialog}, folder.Path());
  m_window->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window));
  // The first listing runs from the event the window posted to itself.
  QCoreApplication::processEvents();
  return *m_window;
}

QStringList BrowserFixture::Labels() const {
  QStringList labels;
  for (int row = 0; row < m_window->List()->count(); ++row) labels << m_window->List()->item(row)->text();
  return labels;
}

QString BrowserFixture::Caption() const { return m_window->Group()->title(); }

void BrowserFixture::Select(std::initializer_list<int> rows) {
  m_window->List()->clearSelection();
  for (int row : rows) m_window->List()->item(row)->setSelected(true);
}

QPoint BrowserFixture::ItemCentre(int row) const {
  return m_window->List()->visualItemRect(m_window->List()->item(row)).center();
}

QPoint BrowserFixture::EmptySpot() const {
  const QRect viewport = m_window->List()->viewport()->rect();
  return QPoint(viewport.right() - 3, viewport.bottom() - 3);
}

void BrowserFixture::ClickItem(int row) {
  QTest::mouseClick(m_window->List()->viewport(), Qt::LeftButton, {}, ItemCentre(row));
}

void BrowserFixture::ClickEmptySpace() {
  QTest::mouseClick(m_window->List()->viewport(), Qt::LeftButton, {}, EmptySpot());
}

void BrowserFixture::RightClick(const QPoint& viewportPos) {
  QTest::mouseClick(m_window->List()->viewport(), Qt::RightButton, {}, viewportPos);
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
