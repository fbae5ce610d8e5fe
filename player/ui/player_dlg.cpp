#include "player_dlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QUrl>

#include "about_dlg.h"
#include "accessible_roles.h"
#include "dialog_units.h"
#include "fixed_window.h"
#include "frame_bitmap.h"
#include "image_button.h"
#include "key_filter.h"
#include "message_box.h"
#include "message_format.h"
#include "message_path.h"
#include "picture_resources.h"
#include "platform/file_open_dialog.h"
#include "platform/file_save_dialog.h"
#include "playback_panel.h"
#include "player_dialogs.h"
#include "player_menu.h"
#include "resource_ids.h"
#include "string_table.h"
#include "video_window.h"
#include "window_messages.h"

namespace kestrel {

namespace {

// Left and Right move this many 20 ms frames.
constexpr std::uint64_t kSeekStep = 250;

// The first local message file among dropped URLs.
QString DroppedMessage(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile() && IsMessagePath(url.toLocalFile())) return url.toLocalFile();
  }
  return {};
}

}  // namespace

CPlayerDlg::CPlayerDlg(const PlayerServices& services, QWidget* parent)
    : QDialog(parent, FixedWindowFlags(FixedWindowKind::MainWindow)), services_(services) {
  MarkAsOwnDialog(this);
  setFont(CDialogUnits::DialogFont());
  setModal(false);
  setAcceptDrops(true);
  // The program's main window, not a dialog box, to a screen reader.
  SetAccessibleRole(this, QAccessible::Window);
  BuildMenu();
  BuildControls();

  if (const std::optional<IconResource> icon = LoadIconResource(IDI_APPLICATION_ICON)) setWindowIcon(icon->icon);
  setWindowTitle(LoadString(IDS_APP_TITLE));
  open_ = playing_ = volumeShown_ = false;

  playPause_->SetIcons(IDI_PLAY, 0);
  playPause_->SetHoverCursor(IDC_HAND_CURSOR);
  playPause_->SetToolTipText(IDS_PLAY);
  stop_->SetIcons(IDI_STOP, 0);
  stop_->SetHoverCursor(IDC_HAND_CURSOR);
  stop_->SetToolTipText(IDS_STOP);
  volume_->SetIcons(IDI_VOLUME, 0);
  volume_->SetHoverCursor(IDC_HAND_CURSOR);
  volume_->SetToolTipText(IDS_OPEN_VOLUME);

  panel_ = new CPlaybackPanel(displayArea_, services_.playback);
  panel_->move((displayArea_->width() - panel_->width()) / 2, (displayArea_->height() - panel_->height()) / 2);
  panel_->show();
  panel_->update();
  panel_->SetDisplayMode(CPlaybackPanel::DisplayMode::None);
  // Left, Right and Home seek wherever the focus is in the window, even on a
  // button, which would otherwise take the arrows to move the focus.
  for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home}) {
    connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this, [this, key] { SeekKey(key); });
  }
  // The window starts with no button focused, so that Space plays and
  // pauses; Tab reaches the buttons.
  setFocus();
}

CPlayerDlg::~CPlayerDlg() {
  // The panel stops its reader and devices before the services go.
  delete panel_;
  panel_ = nullptr;
}

void CPlayerDlg::BuildMenu() {
  menuBar_ = new QMenuBar(this);
  for (const MenuTemplate& menu : MainMenuTemplate()) {
    QMenu* popup = menuBar_->addMenu(QString::fromUtf8(menu.title));
    AddMenuItems(*popup, menu.items);
    for (QAction* action : popup->actions()) {
      if (action->isSeparator()) continue;
      // The window's own shortcut too, whether or not its menu is open.
      if (!action->shortcut().isEmpty()) addAction(action);
      const int command = action->data().toInt();
      connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
      actions_[command] = action;
    }
  }
}

void CPlayerDlg::BuildControls() {
  const DialogTemplate& layout = MainWindowTemplate();
  const CDialogUnits units(font());
  const int menuHeight = menuBar_->sizeHint().height();
  menuBar_->setGeometry(0, 0, units.X(layout.width), menuHeight);
  for (const DialogControl& control : layout.controls) {
    QRect rect = units.ToPixels(control.rect);
    rect.translate(0, menuHeight);
    if (control.kind == DialogControlKind::ImageButton) {
      auto* button = new CImageButton(this);
      button->setGeometry(rect);
      if (control.id == IDC_PLAY_PAUSE) {
        playPause_ = button;
        connect(button, &QPushButton::clicked, this, [this] { PlayPause(); });
      } else if (control.id == IDC_STOP) {
        stop_ = button;
        connect(button, &QPushButton::clicked, this, [this] { Stop(); });
      } else if (control.id == IDC_VOLUME) {
        volume_ = button;
        connect(button, &QPushButton::clicked, this, [this] { Volume(); });
      }
    } else if (control.kind == DialogControlKind::SunkenFrame) {
      displayArea_ = new QFrame(this);
      displayArea_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      displayArea_->setLineWidth(1);
      displayArea_->setGeometry(rect);
    }
  }
  // The template's size is the client area; the menu bar sits above it.
  FixToTemplateSize(*this, units, layout, menuHeight);
}

QAction* CPlayerDlg::MenuAction(int command) const {
  const auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : found->second;
}

void CPlayerDlg::OnCommand(int command) {
  switch (command) {
    case ID_FILE_OPEN:
      Open();
      break;
    case ID_FILE_CLOSE:
      Close();
      break;
    case ID_FILE_SAVE_FRAME:
      SaveFrame();
      break;
    case ID_APP_EXIT:
      close();
      break;
    case ID_PLAY_PAUSE:
      PlayPause();
      break;
    case ID_PLAY_STOP:
      Stop();
      break;
    case ID_APP_ABOUT:
      About();
      break;
    default:
      break;
  }
}

void CPlayerDlg::ShowPlayLook() {
  playPause_->SetIcons(IDI_PLAY, 0);
  playPause_->SetToolTipText(IDS_PLAY);
}

void CPlayerDlg::OpenFromPath(const QString& path) {
  open_ = panel_->Open(path);
  messagePath_ = open_ ? path : QString();
  Stop();
  if (!open_) {
    playing_ = false;
    ShowPlayLook();
  }
  QString title = LoadString(IDS_APP_TITLE);
  if (open_) {
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    title += QStringLiteral(" - ") + (slash < 0 ? path : path.mid(slash + 1));
    setWindowTitle(title);
    PlayPause();
  } else {
    // The path goes in as text, never as a format.
    const QString text = LoadString(IDS_CANNOT_OPEN_FILE).replace(QStringLiteral("%s"), path);
    if (services_.messageBox) services_.messageBox->ShowStop(this, LoadString(IDS_APP_TITLE), text);
    setWindowTitle(title);
  }
}

void CPlayerDlg::Open() {
  if (!services_.openDialog) return;
  FileOpenRequest request;
  request.title = QStringLiteral("Open Kestrel Message...");
  request.filter = QStringLiteral("Kestrel Message Files (*.qrv)");
  const std::optional<QString> path = services_.openDialog->Ask(this, request);
  if (path) OpenFromPath(*path);
}

void CPlayerDlg::Close() {
  if (!open_) return;
  Stop();
  open_ = false;
  panel_->Close();
  setWindowTitle(LoadString(IDS_APP_TITLE));
}

void CPlayerDlg::SaveFrame() {
  if (!open_ || !services_.saveDialog) return;
  // The picture as it is now: the message goes on playing under the dialog.
  std::vector<std::uint8_t> picture(kPictureBytes);
  std::uint64_t due = 0;
  if (panel_->Mode() != CPlaybackPanel::DisplayMode::Video ||
      !panel_->VideoWindow().CopyShownPicture(picture.data(), &due)) {
    return;
  }
  FileSaveRequest request;
  request.title = QStringLiteral("Save Frame As...");
  request.filter = QStringLiteral("Windows Bitmap File (*.bmp)");
  request.proposedPath = QFileInfo(messagePath_).dir().filePath(ProposedFrameName(messagePath_, due));
  request.defaultSuffix = QStringLiteral("bmp");
  const std::optional<QString> path = services_.saveDialog->Ask(this, request);
  if (!path || WriteFrameBitmap(*path, picture.data())) return;
  const QString text = LoadString(IDS_CANNOT_SAVE_FILE).replace(QStringLiteral("%s"), *path);
  if (services_.messageBox) services_.messageBox->ShowStop(this, LoadString(IDS_APP_TITLE), text);
}

void CPlayerDlg::SeekKey(int key) {
  if (!open_) return;
  const std::uint64_t now = panel_->HeardBuffers();
  if (key == Qt::Key_Home) {
    panel_->Seek(0);
  } else if (key == Qt::Key_Left) {
    panel_->Seek(now > kSeekStep ? now - kSeekStep : 0);
  } else {
    panel_->Seek(now + kSeekStep);
  }
}

void CPlayerDlg::PlayPause() {
  if (!open_) return;
  if (playing_) {
    playPause_->SetIcons(IDI_PLAY, 0);
    playPause_->SetToolTipText(IDS_PLAY);
    panel_->Pause();
  } else {
    playPause_->SetIcons(IDI_PAUSE, 0);
    playPause_->SetToolTipText(IDS_PAUSE);
    panel_->Play();
  }
  playing_ = !playing_;
}

void CPlayerDlg::Stop() {
  if (!open_) return;
  panel_->Stop();
  playing_ = false;
  ShowPlayLook();
}

void CPlayerDlg::Volume() {
  if (volumeShown_) {
    volume_->SetToolTipText(IDS_OPEN_VOLUME);
    volume_->SetLatched(false);
    panel_->ShowVolumeDialog(false);
  } else {
    volume_->SetToolTipText(IDS_CLOSE_VOLUME);
    volume_->SetLatched(true);
    panel_->ShowVolumeDialog(true);
  }
  volumeShown_ = !volumeShown_;
}

void CPlayerDlg::VolumeClosed() {
  volumeShown_ = false;
  volume_->SetToolTipText(IDS_OPEN_VOLUME);
  volume_->SetLatched(false);
}

void CPlayerDlg::About() {
  CAboutDlg about(this);
  about.exec();
}

void CPlayerDlg::accept() { close(); }
void CPlayerDlg::reject() { close(); }

bool CPlayerDlg::event(QEvent* event) {
  if (event->type() == EventTypeOf(WM_PLAYBACK_ENDED)) {
    Stop();
    return true;
  }
  if (event->type() == EventTypeOf(WM_VOLUME_DIALOG_CLOSED)) {
    VolumeClosed();
    return true;
  }
  return QDialog::event(event);
}

void CPlayerDlg::closeEvent(QCloseEvent* event) {
  Stop();
  panel_->Close();
  open_ = false;
  // The default handling: the window goes, and with it the program.
  event->accept();
  emit Closed();
}

void CPlayerDlg::changeEvent(QEvent* event) {
  // The window has no maximise box; a maximise asked for another way (the
  // caption double-clicked, a window manager's menu) is ignored.
  if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized)) {
    setWindowState(windowState() & ~Qt::WindowMaximized);
  }
  QDialog::changeEvent(event);
}

void CPlayerDlg::keyPressEvent(QKeyEvent* event) {
  // A focused button takes Space first, as its own click.
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
    if (!event->isAutoRepeat()) PlayPause();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CPlayerDlg::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedMessage(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CPlayerDlg::dropEvent(QDropEvent* event) {
  const QString path = DroppedMessage(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  OpenFromPath(path);
}

}  // namespace kestrel
