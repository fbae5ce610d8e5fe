#pragma once

#include "browser_dlg.h"
#include "fake_save_dialog.h"
#include "fake_shell_file_ops.h"
#include "frames_folder.h"
#include "platform/local_directory_search.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QStringList>

#include <functional>

namespace kestrel::stillbox {

// A browser window over a scratch folder, with the shell and the save dialog
// replaced by doubles.
class BrowserFixture : public ::testing::Test {
 protected:
  void TearDown() override;

  // Creates and shows the window and runs its first listing.
  CBrowserDlg& Open();
  CBrowserDlg& Window() { return *window_; }

  QStringList Labels() const;
  QString Caption() const;
  void Select(std::initializer_list<int> rows);
  void ClickItem(int row);
  void ClickEmptySpace();
  void RightClick(const QPoint& viewportPos);
  QPoint ItemCentre(int row) const;
  QPoint EmptySpot() const;

  // Answers the next popup menu: records its item texts and chooses the item
  // with text (or closes the menu when text is empty).
  void AnswerNextPopup(const QString& text);
  QStringList popupItems;

  FramesFolder folder;
  CLocalDirectorySearch search;
  FakeShellFileOps shell;
  FakeSaveDialog saveDialog;

 private:
  QPointer<CBrowserDlg> window_;
};

}  // namespace kestrel::stillbox
