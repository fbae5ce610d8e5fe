// The right-click menus and the file commands, over the shell double.
#include "browser_dlg.h"
#include "browser_events.h"
#include "frame_list.h"
#include "preview_pane.h"
#include "res/resource_ids.h"
#include "support/browser_fixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>

namespace kestrel::stillbox {

namespace {

class FileCommandsTest : public BrowserFixture {
 protected:
  void SetUp() override {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"}) folder.AddFrame(name);
    folder.AddFrame("big.bmp", Qt::gray, QSize(640, 480));
    folder.AddBrokenFile("broken.bmp");
    Open();
    ASSERT_EQ(Labels(), (QStringList{"a.bmp", "b.bmp", "c.bmp", "d.bmp"}));
  }
  bool OnDisk(const QString& name) const { return QFile::exists(folder.FramePath(name)); }
  QString Path(const QString& name) const { return folder.FramePath(name); }
};

TEST_F(FileCommandsTest, RightClickChoosesTheMenuByTheSelectionAfterTheClick) {
  ClickItem(1);
  AnswerNextPopup(QString());
  RightClick(EmptySpot());
  EXPECT_EQ(popupItems, (QStringList{"&Refresh", "Delete &All"}));
  EXPECT_EQ(Window().Preview()->Picture(), nullptr) << "a right click on empty space empties the pane";
  EXPECT_EQ(Caption(), "4 Frames");

  AnswerNextPopup(QString());
  RightClick(ItemCentre(2));
  EXPECT_EQ(popupItems, (QStringList{"&Delete", "&Save As...", "&Refresh", "Delete &All"}));
  EXPECT_EQ(Window().CurrentFrame(), 2);
  EXPECT_EQ(Caption(), "4 Frames    [Showing c.bmp]");

  QTest::mouseClick(Window().List()->viewport(), Qt::LeftButton, Qt::ControlModifier, ItemCentre(0));
  AnswerNextPopup(QString());
  RightClick(ItemCentre(0));
  EXPECT_EQ(popupItems, (QStringList{"&Delete", "&Refresh", "Delete &All"}));
}

TEST_F(FileCommandsTest, DeleteFromTheMenuRemovesTheFrameAndItsItem) {
  AnswerNextPopup("&Delete");
  RightClick(ItemCentre(1));
  ASSERT_EQ(shell.deletes.size(), 1u);
  EXPECT_EQ(shell.deletes[0].paths, QStringList{Path("b.bmp")});
  EXPECT_EQ(shell.deletes[0].title, "Deleting Frame...");
  EXPECT_FALSE(OnDisk("b.bmp"));
  EXPECT_EQ(Labels(), (QStringList{"a.bmp", "c.bmp", "d.bmp"}));
  EXPECT_EQ(Window().CurrentFrame(), -1);
  EXPECT_EQ(Window().Preview()->Picture(), nullptr);
  EXPECT_EQ(Caption(), "3 Frames");
  EXPECT_EQ(Window().Thumbnails().size(), 4) << "thumbnails stay until the next refresh";
}

TEST_F(FileCommandsTest, DecliningTheConfirmationChangesNothing) {
  shell.answer = FakeShellFileOps::Answer::Decline;
  ClickItem(2);
  Window().OnCommand(res::ID_DELETE_ONE);
  EXPECT_TRUE(OnDisk("c.bmp"));
  EXPECT_EQ(Labels().size(), 4);
  EXPECT_EQ(Window().CurrentFrame(), 2);
  EXPECT_EQ(Caption(), "4 Frames    [Showing c.bmp]");
}

TEST_F(FileCommandsTest, DeletingSeveralAsksOnceAndRemovesThemAll) {
  Select({0, 2, 3});
  Window().OnCommand(res::ID_DELETE_SEVERAL);
  ASSERT_EQ(shell.deletes.size(), 1u) << "one confirmation for all of them";
  EXPECT_EQ(shell.deletes[0].paths, (QStringList{Path("a.bmp"), Path("c.bmp"), Path("d.bmp")}));
  EXPECT_EQ(shell.deletes[0].title, "Deleting Frames...");
  EXPECT_EQ(Labels(), QStringList{"b.bmp"});
  EXPECT_EQ(Caption(), "1 Frames");
}

TEST_F(FileCommandsTest, DeletingSeveralNeedsTwoSelected) {
  Select({1});
  Window().OnCommand(res::ID_DELETE_SEVERAL);
  EXPECT_TRUE(shell.deletes.empty());
  Select({});
  Window().OnCommand(res::ID_DELETE_ONE);
  Window().OnCommand(res::ID_SAVE_AS);
  EXPECT_TRUE(shell.deletes.empty());
  EXPECT_EQ(saveDialog.asked, 0);
}

TEST_F(FileCommandsTest, AFileThatCouldNotBeDeletedStaysListed) {
  shell.undeletable.insert(Path("c.bmp"));
  Select({1, 2, 3});
  Window().OnCommand(res::ID_DELETE_SEVERAL);
  EXPECT_TRUE(OnDisk("c.bmp"));
  EXPECT_EQ(Labels(), (QStringList{"a.bmp", "c.bmp"}));
  EXPECT_EQ(Caption(), "2 Frames");
}

TEST_F(FileCommandsTest, CancellingTheProgressKeepsTheFramesNotYetDeleted) {
  shell.answer = FakeShellFileOps::Answer::CancelAfterFirst;
  Select({0, 1});
  Window().OnCommand(res::ID_DELETE_SEVERAL);
  EXPECT_FALSE(OnDisk("a.bmp"));
  EXPECT_TRUE(OnDisk("b.bmp"));
  EXPECT_EQ(Labels(), (QStringList{"b.bmp", "c.bmp", "d.bmp"}));
  EXPECT_EQ(Caption(), "3 Frames");
}

TEST_F(FileCommandsTest, AHandOverDuringTheConfirmationRefreshesOnlyAfterTheDeletion) {
  shell.duringConfirmation = [this] {
    // A later copy starts while the box is up, after a new frame arrived
    // that sorts first and so would shift every index.
    folder.AddFrame("0.bmp");
    QEvent refresh(EventTypeForMessage(WM_REFRESH_FRAMES));
    QCoreApplication::sendEvent(&Window(), &refresh);
  };
  Select({1});
  Window().OnCommand(res::ID_DELETE_ONE);
  EXPECT_FALSE(OnDisk("b.bmp"));
  EXPECT_EQ(Labels(), (QStringList{"0.bmp", "a.bmp", "c.bmp", "d.bmp"}));
  EXPECT_EQ(Caption(), "4 Frames");
}

TEST_F(FileCommandsTest, DeleteAllRemovesOnlyTheListedFrames) {
  ClickItem(0);
  Window().OnCommand(res::ID_DELETE_ALL);
  ASSERT_EQ(shell.deletes.size(), 1u);
  EXPECT_EQ(shell.deletes[0].paths.size(), 4);
  EXPECT_EQ(shell.deletes[0].title, "Deleting All Frames...");
  EXPECT_TRUE(Labels().isEmpty());
  EXPECT_EQ(Caption(), "0 Frames");
  EXPECT_TRUE(OnDisk("big.bmp"));
  EXPECT_TRUE(OnDisk("broken.bmp"));
  EXPECT_EQ(Window().Preview()->Picture(), nullptr);

  Window().OnCommand(res::ID_DELETE_ALL);
  EXPECT_EQ(Caption(), "0 Frames") << "Delete All with an empty list deletes nothing";
  ASSERT_EQ(shell.deletes.size(), 2u);
  EXPECT_TRUE(shell.deletes[1].paths.isEmpty());
}

TEST_F(FileCommandsTest, SaveAsCopiesTheFirstSelectedFrameToTheChosenFile) {
  QTemporaryDir elsewhere;
  const QString destination = elsewhere.filePath("kept.bmp");
  saveDialog.answer = destination;
  AnswerNextPopup("&Save As...");
  RightClick(ItemCentre(1));
  EXPECT_EQ(saveDialog.asked, 1);
  EXPECT_EQ(saveDialog.lastTitle, "Save Frame As...");
  EXPECT_EQ(saveDialog.lastFilter, "Windows Bitmap File (*.bmp)");
  EXPECT_EQ(saveDialog.lastInitialName, "b.bmp");
  ASSERT_EQ(shell.copies.size(), 1u);
  EXPECT_EQ(shell.copies[0].source, Path("b.bmp"));
  EXPECT_EQ(shell.copies[0].destination, destination);
  EXPECT_EQ(shell.copies[0].title, "Saving Frame...");
  EXPECT_TRUE(shell.deletes.empty()) << "the copy itself asks nothing";
  EXPECT_EQ(FileBytes(destination), FileBytes(Path("b.bmp")));
}

TEST_F(FileCommandsTest, CancelledSaveAsCopiesNothing) {
  saveDialog.answer.reset();
  Select({0});
  const QString before = QDir::currentPath();
  Window().OnCommand(res::ID_SAVE_AS);
  EXPECT_EQ(saveDialog.asked, 1);
  EXPECT_TRUE(shell.copies.empty());
  EXPECT_EQ(QDir::currentPath(), before);
}

TEST_F(FileCommandsTest, ACopyIntoFramesIsListedOnlyAfterRefresh) {
  saveDialog.answer = Path("e.bmp");
  Select({0});
  Window().OnCommand(res::ID_SAVE_AS);
  ASSERT_TRUE(OnDisk("e.bmp"));
  EXPECT_EQ(Labels().size(), 4);
  Window().OnCommand(res::ID_REFRESH);
  EXPECT_EQ(Labels(), (QStringList{"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"}));
  EXPECT_EQ(Caption(), "5 Frames");
}

}  // namespace

}  // namespace kestrel::stillbox
