// The desktop backend of the shell's file operations.
#include "platform/desktop_shell_file_ops.h"
#include "platform/file_save_dialog.h"
#include "support/frames_folder.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

namespace {

// Answers the next confirmation box and records what it said.
struct ConfirmationAnswer {
  QString caption;
  QString text;
  bool shown = false;

  void Arm(QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [this, button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      shown = true;
      caption = box->windowTitle();
      text = box->text();
      box->button(button)->click();
    });
  }
};

class DesktopShellTest : public testing::Test {
 protected:
  QString Path(const QString& name) const { return folder.FramePath(name); }
  FramesFolder folder;
  CDesktopShellFileOps shell;
  ConfirmationAnswer answer;
};

TEST_F(DesktopShellTest, ConfirmsInTheShellsWordsThenDeletesForGood) {
  folder.AddFrame("a.bmp");
  answer.Arm(QMessageBox::Yes);
  EXPECT_TRUE(shell.DeleteFiles(nullptr, {Path("a.bmp")}, "Deleting Frame..."));
  EXPECT_TRUE(answer.shown);
  EXPECT_EQ(answer.caption, "Delete File");
  EXPECT_EQ(answer.text, "Are you sure you want to permanently delete 'a.bmp'?");
  EXPECT_FALSE(QFile::exists(Path("a.bmp")));
  EXPECT_EQ(QDir(folder.FramesPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{}) << "nothing moved aside";
}

TEST_F(DesktopShellTest, OneConfirmationForSeveralFiles) {
  folder.AddFrame("a.bmp");
  folder.AddFrame("b.bmp");
  folder.AddFrame("c.bmp");
  answer.Arm(QMessageBox::Yes);
  EXPECT_TRUE(shell.DeleteFiles(nullptr, {Path("a.bmp"), Path("b.bmp"), Path("c.bmp")}, "Deleting Frames..."));
  EXPECT_EQ(answer.caption, "Delete Multiple Items");
  EXPECT_EQ(answer.text, "Are you sure you want to permanently delete these 3 items?");
  EXPECT_FALSE(QFile::exists(Path("a.bmp")) || QFile::exists(Path("b.bmp")) || QFile::exists(Path("c.bmp")));
}

TEST_F(DesktopShellTest, DecliningKeepsTheFilesAndCountsAsAborted) {
  folder.AddFrame("a.bmp");
  answer.Arm(QMessageBox::No);
  EXPECT_FALSE(shell.DeleteFiles(nullptr, {Path("a.bmp")}, "Deleting Frame..."));
  EXPECT_TRUE(QFile::exists(Path("a.bmp")));
}

TEST_F(DesktopShellTest, AFileThatCannotBeRemovedIsPassedOverSilently) {
  folder.AddFrame("a.bmp");
  answer.Arm(QMessageBox::Yes);
  EXPECT_TRUE(shell.DeleteFiles(nullptr, {Path("gone.bmp"), Path("a.bmp")}, "Deleting Frames..."));
  EXPECT_FALSE(QFile::exists(Path("a.bmp")));
}

TEST_F(DesktopShellTest, NothingToDeleteAsksNothing) {
  answer.Arm(QMessageBox::No);
  EXPECT_TRUE(shell.DeleteFiles(nullptr, {}, "Deleting All Frames..."));
  QApplication::processEvents();
  EXPECT_FALSE(answer.shown);
}

TEST_F(DesktopShellTest, CopyReplacesAnExistingFileWholeAndLeavesNoTemporaryFile) {
  folder.AddFrame("a.bmp", Qt::red);
  folder.AddFrame("old.bmp", Qt::blue, QSize(640, 480));
  ASSERT_TRUE(shell.CopyFile(nullptr, Path("a.bmp"), Path("old.bmp"), "Saving Frame..."));
  EXPECT_EQ(FileBytes(Path("old.bmp")), FileBytes(Path("a.bmp")));
  EXPECT_EQ(QDir(folder.FramesPath()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"a.bmp", "old.bmp"}));
}

TEST_F(DesktopShellTest, CopyOntoItselfChangesNothing) {
  folder.AddFrame("a.bmp", Qt::red);
  const QByteArray before = FileBytes(Path("a.bmp"));
  ASSERT_FALSE(before.isEmpty());
  EXPECT_TRUE(shell.CopyFile(nullptr, Path("a.bmp"), folder.FramesPath() + "/../Frames/a.bmp", "Saving Frame..."));
  EXPECT_EQ(FileBytes(Path("a.bmp")), before);
}

TEST_F(DesktopShellTest, AFailedCopyLeavesTheDestinationAsItWas) {
  folder.AddFrame("old.bmp", Qt::blue);
  const QByteArray before = FileBytes(Path("old.bmp"));
  EXPECT_FALSE(shell.CopyFile(nullptr, Path("missing.bmp"), Path("old.bmp"), "Saving Frame..."));
  EXPECT_EQ(FileBytes(Path("old.bmp")), before);
  folder.AddFrame("a.bmp");
  EXPECT_FALSE(shell.CopyFile(nullptr, Path("a.bmp"), folder.Path() + "/no/such/dir/x.bmp", "Saving Frame..."));
}

TEST(FileSaveDialog, AsksWithTheGivenTitleFilterAndNameAndPromptsBeforeOverwriting) {
  FramesFolder folder;
  CFileSaveDialog dialog(folder.Path());
  QString title;
  QStringList filters;
  QString initial;
  bool confirmsOverwrite = false;
  bool saving = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!box) return;
    title = box->windowTitle();
    filters = box->nameFilters();
    initial = box->selectedFiles().value(0);
    confirmsOverwrite = !box->testOption(QFileDialog::DontConfirmOverwrite);
    saving = box->acceptMode() == QFileDialog::AcceptSave;
    box->reject();
  });
  const auto chosen = dialog.AskSavePath(nullptr, "Save Frame As...", "Windows Bitmap File (*.bmp)", "a.bmp");
  EXPECT_FALSE(chosen.has_value()) << "cancelled";
  EXPECT_EQ(title, "Save Frame As...");
  EXPECT_EQ(filters, QStringList{"Windows Bitmap File (*.bmp)"});
  EXPECT_EQ(initial, QDir(folder.Path()).absoluteFilePath("a.bmp"));
  EXPECT_TRUE(confirmsOverwrite);
  EXPECT_TRUE(saving);
}

}  // namespace
