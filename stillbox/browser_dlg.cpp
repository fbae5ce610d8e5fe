#include "browser_dlg.h"

#include "about_dlg.h"
#include "accessible_roles.h"
#include "browser_events.h"
#include "dialog_units.h"
#include "fixed_window.h"
#include "frame_item.h"
#include "frame_list.h"
#include "key_filter.h"
#include "key_prediction.h"
#include "platform/directory_search.h"
#include "platform/file_names.h"
#include "preview_pane.h"
#include "res/dialog_templates.h"
#include "res/menu_templates.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "res/string_table.h"
#include "wait_cursor.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

#include <cstdlib>

namespace kestrel::stillbox {

namespace {

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 240;
constexpr int kFrameBitsPerPixel = 24;
constexpr int kThumbnailWidth = 80;
constexpr int kThumbnailHeight = 60;
constexpr char kFramesDirectoryName[] = "Frames";
constexpr char kFramePattern[] = "*.bmp";
// While listing, the caption is painted at most this often: more often than
// anyone reads it, and each paint reaches the screen on its own.
constexpr int kLoadingCaptionIntervalMs = 40;
// The first listing waits this long at most for the window to be shown.
constexpr int kExposureWaitMs = 2000;

std::unique_ptr<QMenu> MenuFromTemplate(int id, QWidget* parent) {
  auto menu = std::make_unique<QMenu>(parent);
  AddMenuItems(*menu, res::FindMenuTemplate(id)->items);
  return menu;
}

QString FormatCount(int stringId, int count) {
  return QString::asprintf(res::LoadString(stringId).toUtf8().constData(), count);
}

}  // namespace

CBrowserDlg::CBrowserDlg(const BrowserServices& services, const QString& startDirectory, QWidget* parent)
    : QWidget(parent),
      services_(services),
      framesDirectory_(
          QDir(QDir(startDirectory).absolutePath()).absoluteFilePath(QLatin1String(kFramesDirectoryName))) {
  res::EnsureResources();
  kestrel::MarkAsOwnDialog(this);
  setAttribute(Qt::WA_DeleteOnClose);
  CreateControls();

  // Frame part: the About entry, the icon.
  windowMenu_ = std::make_unique<QMenu>(this);
  windowMenu_->addAction(res::LoadString(res::IDS_ABOUTBOX));
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, &CBrowserDlg::ShowAboutBox);
  QIcon icon;
  icon.addFile(QStringLiteral(":/stillbox/icon128-16.png"));
  icon.addFile(QStringLiteral(":/stillbox/icon128-32.png"));
  setWindowIcon(icon);

  // List part.
  menuNone_ = MenuFromTemplate(res::IDR_MENU_NONE, this);
  menuSingle_ = MenuFromTemplate(res::IDR_MENU_SINGLE, this);
  menuMultiple_ = MenuFromTemplate(res::IDR_MENU_MULTIPLE, this);
  thumbnails_.clear();
  listRect_ = list_->geometry();
  previewRect_ = preview_->geometry();
  gap_ = previewRect_.left() - (listRect_.left() + listRect_.width());
  thumbnailsOnly_ = false;
  CreateKeyboardCommands();
  // The first listing runs once the window has been shown and painted.
  firstListingDue_ = true;
  QCoreApplication::postEvent(this, new QEvent(EventTypeForMessage(WM_REFRESH_FRAMES)));
  list_->setFocus();
}

CBrowserDlg::~CBrowserDlg() = default;

void CBrowserDlg::CreateControls() {
  const DialogTemplate& tmpl = *res::FindDialogTemplate(res::IDD_BROWSER);
  setWindowTitle(QString::fromUtf8(tmpl.title));
  // The program's main window, not a filler, to a screen reader.
  SetAccessibleRole(this, QAccessible::Window);
  setWindowFlags(FixedWindowFlags(FixedWindowKind::MainWindow));
  setFont(CDialogUnits::DialogFont());
  const CDialogUnits units(font());
  FixToTemplateSize(*this, units, tmpl);

  const DialogControl& group = *tmpl.Control(res::IDC_FRAMES_GROUP);
  group_ = new QGroupBox(this);
  group_->setAlignment(Qt::AlignHCenter);
  group_->setGeometry(units.ToPixels(group.rect));

  list_ = new CFrameList(this);
  list_->setGeometry(units.ToPixels(tmpl.Control(res::IDC_FRAME_LIST)->rect));
  list_->setAccessibleName(QStringLiteral("Frames"));
  list_->setAccessibleDescription(QStringLiteral("The saved frames as thumbnails, in order of file name"));
  connect(list_, &CFrameList::Clicked, this, &CBrowserDlg::OnListClicked);
  connect(list_, &CFrameList::RightClicked, this, &CBrowserDlg::OnListRightClicked);
  connect(list_, &CFrameList::KeyDown, this, &CBrowserDlg::OnListKeyDown);

  preview_ = new CPreviewPane(this);
  preview_->setGeometry(units.ToPixels(tmpl.Control(res::IDC_PREVIEW)->rect));

  const DialogControl& box = *tmpl.Control(res::IDC_THUMBNAILS_ONLY);
  thumbnailsOnlyBox_ = new QCheckBox(QString::fromUtf8(box.text), this);
  thumbnailsOnlyBox_->setGeometry(units.ToPixels(box.rect));
  thumbnailsOnlyBox_->setChecked(false);
  connect(thumbnailsOnlyBox_, &QCheckBox::clicked, this, &CBrowserDlg::OnThumbnailsOnly);
}

bool CBrowserDlg::event(QEvent* event) {
  if (event->type() == EventTypeForMessage(WM_REFRESH_FRAMES)) {
    if (commandDepth_ > 0) {
      refreshPending_ = true;
    } else if (firstListingDue_ && AwaitExposure()) {
      // Listed once the window system shows the window (the posted event
      // can come before that): the list fills under its frame and caption.
    } else {
      RefreshFrames();
    }
    return true;
  }
  return QWidget::event(event);
}

bool CBrowserDlg::AwaitExposure() {
  QWindow* window = windowHandle();
  if (!isVisible() || !window || window->isExposed()) return false;
  if (!awaitingExposure_) {
    awaitingExposure_ = true;
    window->installEventFilter(this);
    // A window that stays hidden (started minimised) is listed all the same.
    QTimer::singleShot(kExposureWaitMs, this, &CBrowserDlg::ListOnceExposed);
  }
  return true;
}

bool CBrowserDlg::eventFilter(QObject* watched, QEvent* event) {
  // The listing event is posted, so it runs after the window has handled its
  // exposure, that is painted itself.
  if (event->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed()) ListOnceExposed();
  return QWidget::eventFilter(watched, event);
}

void CBrowserDlg::ListOnceExposed() {
  if (!awaitingExposure_) return;
  awaitingExposure_ = false;
  firstListingDue_ = false;
  if (QWindow* window = windowHandle()) window->removeEventFilter(this);
  QCoreApplication::postEvent(this, new QEvent(EventTypeForMessage(WM_REFRESH_FRAMES)));
}

void CBrowserDlg::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized)) {
    // A maximise that reached us anyway (double click on the caption) is undone.
    QTimer::singleShot(0, this, [this] { setWindowState(windowState() & ~Qt::WindowMaximized); });
  }
}

void CBrowserDlg::contextMenuEvent(QContextMenuEvent* event) {
  // The Menu key, wherever the focus is, means the current frame's menu.
  if (event->reason() == QContextMenuEvent::Keyboard) {
    OnContextMenuKey();
    return;
  }
  // The window manager's menu cannot carry the About entry, so the window's
  // own area outside the list offers it.
  if (windowMenu_->exec(event->globalPos())) ShowAboutBox();
}

void CBrowserDlg::ShowAboutBox() {
  CAboutDlg about(this);
  about.exec();
}

QString CBrowserDlg::FramePath(int index) const {
  const QListWidgetItem* item = list_->item(index);
  return item ? framesDirectory_ + QLatin1Char('/') + item->data(kFileNameRole).toString() : QString();
}

int CBrowserDlg::FirstSelected() const {
  for (int row = 0; row < list_->count(); ++row) {
    if (list_->item(row)->isSelected()) return row;
  }
  return -1;
}

void CBrowserDlg::RefreshFrames() {
  firstListingDue_ = false;
  {
    CWaitCursor wait;
    currentFrame_ = -1;
    group_->setTitle(QString());
    thumbnails_.clear();
    list_->clear();
    list_->viewport()->repaint();
    UpdatePreview();
    ListFrames();
  }
  ShowCount(false);
}

void CBrowserDlg::ListFrames() {
  // The list is not painted while it fills: every paint would lay out all
  // the items listed so far, once per frame. It shows them all at the end.
  list_->setUpdatesEnabled(false);
  loadingCaptionClock_.invalidate();
  ShowCount(true);
  IDirectorySearch& search = services_.search;
  if (search.Start(framesDirectory_, QLatin1String(kFramePattern))) {
    DirEntry entry;
    while (search.Next(entry)) {
      ExamineEntry(entry);
      ShowCount(true);
    }
    search.Finish();
  }
  list_->setUpdatesEnabled(true);
  ArrangeList();
}

void CBrowserDlg::ExamineEntry(const DirEntry& entry) {
  if (entry.hidden || entry.directory || !entry.regularFile) return;
  const QString path = framesDirectory_ + QLatin1Char('/') + entry.name;
  if (!holder_.Load(path)) return;
  if (holder_.Width() != kFrameWidth || holder_.Height() != kFrameHeight ||
      holder_.BitsPerPixel() != kFrameBitsPerPixel) {
    return;
  }
  AddThumbnail(entry.name);
}

void CBrowserDlg::AddThumbnail(const QString& fileName) {
  // Nearest-neighbour shrinking by four: pixels are dropped, not smoothed.
  const QImage thumbnail =
      holder_.Image().scaled(kThumbnailWidth, kThumbnailHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  const int imageIndex = static_cast<int>(thumbnails_.size());
  thumbnails_.append(QPixmap::fromImage(thumbnail));
  // The label is the name as the user reads it; the name as found stays
  // with the item, since that is what opens the file again.
  auto* item = new CFrameItem(QIcon(thumbnails_.back()), DisplayFileName(fileName));
  item->setData(kFileNameRole, fileName);
  if (list_->LabelIsShortened(item->text())) item->setToolTip(item->text());
  item->setData(kImageIndexRole, imageIndex);
  // The list keeps itself sorted by label, whatever the directory order.
  list_->insertItem(list_->count(), item);
}

void CBrowserDlg::ShowCount(bool loading) {
  group_->setTitle(FormatCount(loading ? res::IDS_LOADING_COUNT : res::IDS_FRAME_COUNT, list_->count()));
  if (loading) {
    if (loadingCaptionClock_.isValid() && loadingCaptionClock_.elapsed() < kLoadingCaptionIntervalMs) return;
    loadingCaptionClock_.start();
  }
  RepaintCaption();
}

void CBrowserDlg::RepaintCaption() {
  // A listing runs without the event loop; the caption counts all the same.
  // Only the strip above the list is painted, so the list is not redrawn.
  const int stripHeight = listRect_.top() - group_->y();
  if (group_->isVisible() && stripHeight > 0) group_->repaint(0, 0, group_->width(), stripHeight);
}

void CBrowserDlg::UpdatePreview() {
  if (thumbnailsOnly_) return;
  const QListWidgetItem* item = currentFrame_ >= 0 ? list_->item(currentFrame_) : nullptr;
  if (!item) {
    preview_->SetPicture(nullptr);
    ShowCount(false);
    return;
  }
  const QString fileName = item->text();
  // A frame that no longer loads shows an empty pane rather than whatever
  // picture the holder had before.
  preview_->SetPicture(holder_.Load(FramePath(currentFrame_)) ? &holder_ : nullptr);
  const QString showing =
      QString::asprintf(res::LoadString(res::IDS_SHOWING).toUtf8().constData(), fileName.toUtf8().constData());
  ShowCount(false);
  group_->setTitle(group_->title() + showing);
  RepaintCaption();
}

void CBrowserDlg::ArrangeList() { list_->doItemsLayout(); }

void CBrowserDlg::OnListClicked(const QPoint& pos) {
  currentFrame_ = list_->HitTest(pos);
  UpdatePreview();
}

void CBrowserDlg::OnListKeyDown(int qtKey) {
  currentFrame_ = PredictKeyTarget(qtKey, FirstSelected(), list_->count());
  UpdatePreview();
}

void CBrowserDlg::OnThumbnailsOnly() {
  thumbnailsOnly_ = !thumbnailsOnly_;
  int width = listRect_.width();
  if (thumbnailsOnly_) {
    preview_->hide();
    width += gap_ + previewRect_.width();
  } else {
    preview_->show();
  }
  list_->resize(width, listRect_.height());
  ArrangeList();
  list_->viewport()->repaint();
  ShowCount(false);
  UpdatePreview();
}

}  // namespace kestrel::stillbox
