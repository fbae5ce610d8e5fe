#pragma once

#include "frame_holder.h"

#include <QElapsedTimer>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class QCheckBox;
class QGroupBox;
class QMenu;

namespace kestrel::stillbox {

class CFrameList;
struct DirEntry;
class CPreviewPane;
class IDirectorySearch;
class ISaveDialog;
class IShellFileOps;

// The platform services the browser window works through.
struct BrowserServices {
  IDirectorySearch& search;
  IShellFileOps& shell;
  ISaveDialog& saveDialog;
};

// The browser's main window (template 102): the thumbnails of the frames in
// "Frames/" beside a preview of the current frame, with the status line as the
// group box caption, the Thumbnails Only switch and the right-click commands.
// Frames are identified by list index only; a frame's path is the frames
// directory, made absolute once at construction, followed by its label.
class CBrowserDlg : public QWidget {
  Q_OBJECT

 public:
  // startDirectory: the directory holding "Frames/" (the working directory at
  // start). The window deletes itself when closed.
  CBrowserDlg(const BrowserServices& services, const QString& startDirectory, QWidget* parent = nullptr);
  ~CBrowserDlg() override;

  // Empty the list and read the frames directory again.
  void RefreshFrames();
  // Show the current frame, or none, in the pane and the caption.
  void UpdatePreview();
  // Caption "Loading thumbnails...(%d)" or "%d Frames" with the item count.
  void ShowCount(bool loading);
  // Index of the first selected item, -1 when none is selected.
  int FirstSelected() const;

  // A command of the right-click menus (32771 and up).
  void OnCommand(int command);
  // The About entry of the window's own menu, and F1: the About box, modal.
  void ShowAboutBox();
  // Menu 130, 131 or 132 for the number of selected items.
  int ContextMenuFor(int selectedCount) const;
  QMenu* PopupMenu(int menuId) const;

  CFrameList* List() const { return list_; }
  CPreviewPane* Preview() const { return preview_; }
  QGroupBox* Group() const { return group_; }
  QCheckBox* ThumbnailsOnlyBox() const { return thumbnailsOnlyBox_; }
  int CurrentFrame() const { return currentFrame_; }
  bool ThumbnailsOnly() const { return thumbnailsOnly_; }
  const QString& FramesDirectory() const { return framesDirectory_; }
  QString FramePath(int index) const;
  // The thumbnail image list; it keeps deleted items' images until a refresh.
  const QList<QPixmap>& Thumbnails() const { return thumbnails_; }

  // Index of the item's thumbnail in Thumbnails().
  static constexpr int kImageIndexRole = Qt::UserRole + 1;
  // The file name as found, which may hold any bytes (platform/file_names.h);
  // the label shows it readably.
  static constexpr int kFileNameRole = Qt::UserRole + 2;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void CreateControls();
  bool AwaitExposure();
  void ListOnceExposed();
  void ListFrames();
  void ExamineEntry(const DirEntry& entry);
  void AddThumbnail(const QString& fileName);
  void RepaintCaption();
  void ArrangeList();

  void CreateKeyboardCommands();
  void OnListClicked(const QPoint& pos);
  void OnListRightClicked(const QPoint& pos, const QPoint& globalPos);
  void OnContextMenuKey();
  void OnDeleteKey();
  void ShowContextMenu(int currentFrame, const QPoint& globalPos);
  void OnListKeyDown(int qtKey);
  void OnThumbnailsOnly();

  void OnRefresh();
  void OnDeleteOne();
  void OnDeleteSeveral();
  void OnDeleteAll();
  void OnSaveAs();
  bool DeleteFrameFiles(const QStringList& paths, int titleId);
  void BeginCommand();
  void EndCommand();
  void DeleteItems(const std::vector<int>& ascendingIndices, int titleId);
  void DeleteListedItems(const std::vector<int>& ascendingIndices, int titleId);

  BrowserServices services_;
  QGroupBox* group_ = nullptr;
  CFrameList* list_ = nullptr;
  CPreviewPane* preview_ = nullptr;
  QCheckBox* thumbnailsOnlyBox_ = nullptr;
  std::unique_ptr<QMenu> menuNone_;
  std::unique_ptr<QMenu> menuSingle_;
  std::unique_ptr<QMenu> menuMultiple_;
  std::unique_ptr<QMenu> windowMenu_;

  QList<QPixmap> thumbnails_;
  CFrameHolder holder_;

  QRect listRect_;
  QRect previewRect_;
  int gap_ = 0;
  bool thumbnailsOnly_ = false;
  int currentFrame_ = -1;
  bool firstListingDue_ = false;
  bool awaitingExposure_ = false;
  QElapsedTimer loadingCaptionClock_;  // since the caption was last painted
  // A refresh asked for while a file command waits in a dialog is run when
  // the command ends, so the command never works on a list rebuilt under it.
  int commandDepth_ = 0;
  bool refreshPending_ = false;
  QString framesDirectory_;
};

}  // namespace kestrel::stillbox
