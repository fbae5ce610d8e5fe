// The right-click menus of the thumbnail list, the file commands and their
// keys.
#include "browser_dlg.h"

#include "frame_list.h"
#include "platform/native_files.h"
#include "platform/save_dialog.h"
#include "platform/shell_file_ops.h"
#include "res/resource_ids.h"
#include "res/string_table.h"
#include "wait_cursor.h"

#include <QKeySequence>
#include <QMenu>
#include <QShortcut>

namespace kestrel::stillbox {

namespace {

constexpr char kSaveTitle[] = "Save Frame As...";
constexpr char kSaveFilter[] = "Windows Bitmap File (*.bmp)";
constexpr char kSavingTitle[] = "Saving Frame...";

}  // namespace

int CBrowserDlg::ContextMenuFor(int selectedCount) const {
  if (selectedCount == 0) return res::IDR_MENU_NONE;
  if (selectedCount == 1) return res::IDR_MENU_SINGLE;
  return res::IDR_MENU_MULTIPLE;
}

QMenu* CBrowserDlg::PopupMenu(int menuId) const {
  switch (menuId) {
    case res::IDR_MENU_NONE:
      return menuNone_.get();
    case res::IDR_MENU_SINGLE:
      return menuSingle_.get();
    case res::IDR_MENU_MULTIPLE:
      return menuMultiple_.get();
    default:
      return nullptr;
  }
}

void CBrowserDlg::CreateKeyboardCommands() {
  // The keys any file or picture browser offers, anywhere in the window.
  const auto bind = [this](const QKeySequence& keys, void (CBrowserDlg::*handler)()) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, handler);
  };
  bind(QKeySequence(Qt::Key_Delete), &CBrowserDlg::OnDeleteKey);
  bind(QKeySequence(Qt::Key_F5), &CBrowserDlg::OnRefresh);
  bind(QKeySequence(Qt::Key_Menu), &CBrowserDlg::OnContextMenuKey);
  bind(QKeySequence(Qt::SHIFT | Qt::Key_F10), &CBrowserDlg::OnContextMenuKey);
  connect(new QShortcut(QKeySequence::SelectAll, this), &QShortcut::activated, list_, &CFrameList::selectAll);
}

void CBrowserDlg::OnListRightClicked(const QPoint& pos, const QPoint& globalPos) {
  // The list has already moved its selection for this click.
  ShowContextMenu(list_->HitTest(pos), globalPos);
}

void CBrowserDlg::OnContextMenuKey() {
  // The menu a right click at the current item would open, without the
  // click's change of the selection: at the current item when it is
  // selected, else at the first selected one, and with nothing selected
  // the menu of the empty list space, at the list's corner.
  const QListWidgetItem* current = list_->currentItem();
  if (!current || !current->isSelected()) current = list_->item(FirstSelected());
  QPoint at;
  if (current) {
    list_->scrollToItem(current);
    at = list_->visualItemRect(current).center();
  }
  ShowContextMenu(current ? list_->row(current) : -1, list_->viewport()->mapToGlobal(at));
}

void CBrowserDlg::ShowContextMenu(int currentFrame, const QPoint& globalPos) {
  QMenu* menu = PopupMenu(ContextMenuFor(static_cast<int>(list_->selectedItems().size())));
  currentFrame_ = currentFrame;
  UpdatePreview();
  if (QAction* chosen = menu->exec(globalPos)) OnCommand(chosen->data().toInt());
}

void CBrowserDlg::OnDeleteKey() {
  // The Delete of menu 131 or 132, whichever the selection offers.
  const qsizetype selected = list_->selectedItems().size();
  if (selected > 0) OnCommand(selected == 1 ? res::ID_DELETE_ONE : res::ID_DELETE_SEVERAL);
}

void CBrowserDlg::OnCommand(int command) {
  switch (command) {
    case res::ID_REFRESH:
      OnRefresh();
      break;
    case res::ID_DELETE_ONE:
      OnDeleteOne();
      break;
    case res::ID_SAVE_AS:
      OnSaveAs();
      break;
    case res::ID_DELETE_SEVERAL:
      OnDeleteSeveral();
      break;
    case res::ID_DELETE_ALL:
      OnDeleteAll();
      break;
    default:
      break;
  }
}

void CBrowserDlg::OnRefresh() { RefreshFrames(); }

bool CBrowserDlg::DeleteFrameFiles(const QStringList& paths, int titleId) {
  return services_.shell.DeleteFiles(this, paths, res::LoadString(titleId));
}

void CBrowserDlg::BeginCommand() { ++commandDepth_; }

void CBrowserDlg::EndCommand() {
  if (--commandDepth_ == 0 && refreshPending_) {
    refreshPending_ = false;
    RefreshFrames();
  }
}

void CBrowserDlg::DeleteItems(const std::vector<int>& ascendingIndices, int titleId) {
  // The shell's dialogs run an event loop, in which a later copy's hand-over
  // may ask for a refresh; the indices below must stay valid until the end.
  BeginCommand();
  DeleteListedItems(ascendingIndices, titleId);
  EndCommand();
}

void CBrowserDlg::DeleteListedItems(const std::vector<int>& ascendingIndices, int titleId) {
  CWaitCursor wait;
  QStringList paths;
  for (int index : ascendingIndices) paths.append(FramePath(index));
  const bool completed = DeleteFrameFiles(paths, titleId);

  // Only frames whose files are really gone leave the list: a file the shell
  // could not remove stays listed, and one removed before a cancel does not.
  // Going from the highest index down keeps the lower indices valid.
  int removed = 0;
  for (int i = static_cast<int>(ascendingIndices.size()) - 1; i >= 0; --i) {
    if (!PathExists(paths[i])) {
      delete list_->takeItem(ascendingIndices[static_cast<std::size_t>(i)]);
      ++removed;
    }
  }
  if (!completed && removed == 0) return;
  ArrangeList();
  list_->viewport()->repaint();
  currentFrame_ = -1;
  UpdatePreview();
  ShowCount(false);
}

void CBrowserDlg::OnDeleteOne() {
  const int first = FirstSelected();
  if (first == -1) return;
  DeleteItems({first}, res::IDS_DELETING_ONE);
}

void CBrowserDlg::OnDeleteSeveral() {
  if (FirstSelected() == -1 || list_->selectedItems().size() < 2) return;
  std::vector<int> selected;
  for (int row = 0; row < list_->count(); ++row) {
    if (list_->item(row)->isSelected()) selected.push_back(row);
  }
  // One confirmation and one progress display for all of them.
  DeleteItems(selected, res::IDS_DELETING_SEVERAL);
}

void CBrowserDlg::OnDeleteAll() {
  // Only the listed frames: bitmaps the listing left out stay on disk.
  std::vector<int> all(static_cast<std::size_t>(list_->count()));
  for (int row = 0; row < list_->count(); ++row) all[static_cast<std::size_t>(row)] = row;
  DeleteItems(all, res::IDS_DELETING_ALL);
}

void CBrowserDlg::OnSaveAs() {
  const int first = FirstSelected();
  if (first == -1) return;
  const QString fileName = list_->item(first)->text();
  const QString source = FramePath(first);
  BeginCommand();
  const std::optional<QString> destination =
      services_.saveDialog.AskSavePath(this, QLatin1String(kSaveTitle), QLatin1String(kSaveFilter), fileName);
  if (destination) {
    CWaitCursor wait;
    // The result is not shown: a failed copy changes nothing, in the window
    // or on disk. The list is not read again, even for a copy into Frames/.
    services_.shell.CopyFile(this, source, *destination, QLatin1String(kSavingTitle));
  }
  EndCommand();
}

}  // namespace kestrel::stillbox
