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

class CFrameList;
struct DirEntry;
class CPreviewPane;
class IDirectorySearch;
class ISaveDialog;
class IShellFileOps;
class QCheckBox;
class QGroupBox;
class QMenu;

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

  CFrameList* List() const { return m_list; }
  CPreviewPane* Preview() const { return m_preview; }
  QGroupBox* Group() const { return m_group; }
  QCheckBox* ThumbnailsOnlyBox() const { return m_thumbnailsOnlyBox; }
  int CurrentFrame() const { return m_currentFrame; }
  bool ThumbnailsOnly() const { return m_thumbnailsOnly; }
  const QString& FramesDirectory() const { return m_framesDirectory; }
  QString FramePath(int index) const;
  // The thumbnail image list; it keeps deleted items' images until a refresh.
  const QList<QPixmap>& Thumbnails() const { return m_thumbnails; }

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

  BrowserServices m_services;
  QGroupBox* m_group = nullptr;
  CFrameList* m_list = nullptr;
  CPreviewPane* m_preview = nullptr;
  QCheckBox* m_thumbnailsOnlyBox = nullptr;
  std::unique_ptr<QMenu> m_menuNone;
  std::unique_ptr<QMenu> m_menuSingle;
  std::unique_ptr<QMenu> m_menuMultiple;
  std::unique_ptr<QMenu> m_windowMenu;

  QList<QPixmap> m_thumbnails;
  CFrameHolder m_holder;

  QRect m_listRect;
  QRect m_previewRect;
  int m_gap = 0;
  bool m_thumbnailsOnly = false;
  int m_currentFrame = -1;
  bool m_firstListingDue = false;
  bool m_awaitingExposure = false;
  QElapsedTimer m_loadingCaptionClock;  // since the caption was last painted
  // A refresh asked for while a file command waits in a dialog is run when
  // the command ends, so the command never works on a list rebuilt under it.
  int m_commandDepth = 0;
  bool m_refreshPending = false;
  QString m_framesDirectory;
};
