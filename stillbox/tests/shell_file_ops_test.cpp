// The desktop backend of the shell's file operations.
#include "bitmap_forge.h"
#include "browser_dlg.h"
#include "frame_list.h"
#include "platform/desktop_shell_file_ops.h"
#include "platform/file_save_dialog.h"
#include "platform/local_directory_search.h"
#include "preview_pane.h"
#include "res/resource_ids.h"
#include "support/fake_save_dialog.h"
#include "support/frames_folder.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::stillbox {

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

class DesktopShellTest : public ::testing::Test {
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
  EXPECT_EQ(QDir(folder.FramesPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{})
      << "nothing moved aside";
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
  EXPECT_EQ(QDir(folder.FramesPath()).entryList(QDir::Files | QDir::Hidden), (QStringList{"a.bmp", "old.bmp"}));
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

TEST_F(DesktopShellTest, CancelDuringASlowCopyLeavesTheDestinationAsItWasAndNoTemporaryFile) {
  folder.AddFrame("old.bmp", Qt::blue);
  const QByteArray before = FileBytes(Path("old.bmp"));
  // The source trickles: a pipe that the test feeds a little and never closes.
  ASSERT_EQ(::mkfifo(QFile::encodeName(Path("slow.bmp")).constData(), 0600), 0);
  const int feeder = ::open(QFile::encodeName(Path("slow.bmp")).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(feeder, 0);
  ASSERT_EQ(::write(feeder, "BM first bytes", 14), 14);
  QString title;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* progress = qobject_cast<QProgressDialog*>(widget);
      if (!progress || !progress->isVisible()) continue;
      title = progress->windowTitle();
      progress->findChild<QPushButton*>()->click();
      watch.stop();
    }
  });
  watch.start(20);
  EXPECT_FALSE(shell.CopyFile(nullptr, Path("slow.bmp"), Path("old.bmp"), "Saving Frame..."));
  ::close(feeder);
  EXPECT_EQ(title, "Saving Frame...") << "the progress, with its Cancel, was shown";
  EXPECT_EQ(FileBytes(Path("old.bmp")), before);
  EXPECT_EQ(QDir(folder.FramesPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            (QStringList{"old.bmp", "slow.bmp"}));
}

TEST(DesktopShellBrowser, ALatin1NamedFrameIsListedPreviewedSavedAndDeleted) {
  FramesFolder folder;
  QImage picture(320, 240, QImage::Format_RGB888);
  picture.fill(QColor(200, 0, 200));
  const QByteArray bytes = forge::Rgb24(picture);
  const QByteArray latin1 = "caf\xE9.bmp";
  folder.AddFile(latin1, bytes);
  const QString shown = QString::fromUtf8("caf\xC3\xA9.bmp");
  CLocalDirectorySearch search;
  CDesktopShellFileOps shell;
  FakeSaveDialog saveDialog;
  QTemporaryDir elsewhere;
  saveDialog.answer = elsewhere.filePath("saved.bmp");
  CBrowserDlg* window = new CBrowserDlg(BrowserServices{search, shell, saveDialog}, folder.Path());
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  QCoreApplication::processEvents();
  ASSERT_EQ(window->List()->count(), 1);
  EXPECT_EQ(window->List()->item(0)->text(), shown);

  QTest::mouseClick(window->List()->viewport(), Qt::LeftButton, {},
                    window->List()->visualItemRect(window->List()->item(0)).center());
  EXPECT_NE(window->Preview()->Picture(), nullptr);
  EXPECT_EQ(window->Group()->title(), "1 Frames    [Showing " + shown + "]");

  window->OnCommand(res::ID_SAVE_AS);
  EXPECT_EQ(saveDialog.lastInitialName, shown);
  EXPECT_EQ(FileBytes(*saveDialog.answer), bytes);

  ConfirmationAnswer answer;
  answer.Arm(QMessageBox::Yes);
  window->OnCommand(res::ID_DELETE_ONE);
  EXPECT_EQ(answer.text, "Are you sure you want to permanently delete '" + shown + "'?");
  EXPECT_EQ(window->List()->count(), 0);
  EXPECT_EQ(QDir(folder.FramesPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{})
      << "the file itself is gone";
  delete window;
}

TEST(FileSaveDialog, APathIntoAMissingFolderIsNamedInAMessageAndTheChoiceStaysOpen) {
  FramesFolder folder;
  CFileSaveDialog dialog(folder.Path());
  const QString missing = folder.Path() + "/no such folder/frame.bmp";
  QString message;
  bool stillOpen = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!box) return;
    box->findChild<QLineEdit*>("fileNameEdit")->setText(missing);
    QTimer::singleShot(0, [&] {
      auto* refusal = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!refusal) return;
      message = refusal->text();
      refusal->accept();
    });
    static_cast<QDialog*>(box)->accept();  // as Return or the Save button do
    stillOpen = box->isVisible();
    box->reject();
  });
  EXPECT_FALSE(dialog.AskSavePath(nullptr, "Save Frame As...", "Windows Bitmap File (*.bmp)", "a.bmp").has_value());
  EXPECT_TRUE(message.contains(missing)) << message.toStdString();
  EXPECT_TRUE(stillOpen);
  EXPECT_FALSE(QFileInfo::exists(missing));
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

}  // namespace kestrel::stillbox
