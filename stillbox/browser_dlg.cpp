#include "browser_dlg.h"

#include "about_dlg.h"
#include "browser_events.h"
#include "dialog_units.h"
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
#include "window_accessible.h"

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

using kestrel::CDialogUnits;

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
  for (const res::MenuItemTemplate& item : res::FindMenuTemplate(id)->items) {
    if (item.command == 0) {
      menu->addSeparator();
    } else {
      menu->addAction(QString::fromUtf8(item.text))->setData(item.command);
    }
  }
  return menu;
}

QString FormatCount(int stringId, int count) {
  return QString::asprintf(res::LoadString(stringId).toUtf8().constData(), count);
}

}  // namespace

CBrowserDlg::CBrowserDlg(const BrowserServices& services, const QString& startDirectory, QWidget* parent)
    : QWidget(parent),
      m_services(services),
      m_framesDirectory(
          QDir(QDir(startDirectory).absolutePath()).absoluteFilePath(QLatin1String(kFramesDirectoryName))) {
  res::EnsureResources();
  kestrel::MarkAsOwnDialog(this);
  setAttribute(Qt::WA_DeleteOnClose);
  CreateControls();

  // Frame part: the About entry, the icon.
  m_windowMenu = std::make_unique<QMenu>(this);
  m_windowMenu->addAction(res::LoadString(res::IDS_ABOUTBOX));
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, &CBrowserDlg::ShowAboutBox);
  QIcon icon;
  icon.addFile(QStringLiteral(":/stillbox/icon128-16.png"));
  icon.addFile(QStringLiteral(":/stillbox/icon128-32.png"));
  setWindowIcon(icon);

  // List part.
  m_menuNone = MenuFromTemplate(res::IDR_MENU_NONE, this);
  m_menuSingle = MenuFromTemplate(res::IDR_MENU_SINGLE, this);
  m_menuMultiple = MenuFromTemplate(res::IDR_MENU_MULTIPLE, this);
  m_thumbnails.clear();
  m_listRect = m_list->geometry();
  m_previewRect = m_preview->geometry();
  m_gap = m_previewRect.left() - (m_listRect.left() + m_listRect.width());
  m_thumbnailsOnly = false;
  CreateKeyboardCommands();
  // The first listing runs once the window has been shown and painted.
  m_firstListingDue = true;
  QCoreApplication::postEvent(this, new QEvent(EventTypeForMessage(WM_REFRESH_FRAMES)));
  m_list->setFocus();
}

CBrowserDlg::~CBrowserDlg() = default;

void CBrowserDlg::CreateControls() {
  const res::DialogTemplate& tmpl = *res::FindDialogTemplate(res::IDD_BROWSER);
  setWindowTitle(QString::fromUtf8(tmpl.caption));
  PresentAsMainWindow(this);
  // A fixed frame with minimise and close boxes but no maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(CDialogUnits::DialogFont());
  const CDialogUnits units(font());
  setFixedSize(units.ToPixels(QSize(tmpl.width, tmpl.height)));

  const res::ControlTemplate& group = *tmpl.Control(res::IDC_FRAMES_GROUP);
  m_group = new QGroupBox(this);
  m_group->setAlignment(Qt::AlignHCenter);
  m_group->setGeometry(units.ToPixels(group.rect));

  m_list = new CFrameList(this);
  m_list->setGeometry(units.ToPixels(tmpl.Control(res::IDC_FRAME_LIST)->rect));
  m_list->setAccessibleName(QStringLiteral("Frames"));
  m_list->setAccessibleDescription(QStringLiteral("The saved frames as thumbnails, in order of file name"));
  connect(m_list, &CFrameList::Clicked, this, &CBrowserDlg::OnListClicked);
  connect(m_list, &CFrameList::RightClicked, this, &CBrowserDlg::OnListRightClicked);
  connect(m_list, &CFrameList::KeyDown, this, &CBrowserDlg::OnListKeyDown);

  m_preview = new CPreviewPane(this);
  m_preview->setGeometry(units.ToPixels(tmpl.Control(res::IDC_PREVIEW)->rect));

  const res::ControlTemplate& box = *tmpl.Control(res::IDC_THUMBNAILS_ONLY);
  m_thumbnailsOnlyBox = new QCheckBox(QString::fromUtf8(box.text), this);
  m_thumbnailsOnlyBox->setGeometry(units.ToPixels(box.rect));
  m_thumbnailsOnlyBox->setChecked(false);
  connect(m_thumbnailsOnlyBox, &QCheckBox::clicked, this, &CBrowserDlg::OnThumbnailsOnly);
}

bool CBrowserDlg::event(QEvent* event) {
  if (event->type() == EventTypeForMessage(WM_REFRESH_FRAMES)) {
    if (m_commandDepth > 0) {
      m_refreshPending = true;
    } else if (m_firstListingDue && AwaitExposure()) {
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
  if (!m_awaitingExposure) {
    m_awaitingExposure = true;
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
  if (!m_awaitingExposure) return;
  m_awaitingExposure = false;
  m_firstListingDue = false;
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
  if (m_windowMenu->exec(event->globalPos())) ShowAboutBox();
}

void CBrowserDlg::ShowAboutBox() {
  CAboutDlg about(this);
  about.exec();
}

QString CBrowserDlg::FramePath(int index) const {
  const QListWidgetItem* item = m_list->item(index);
  return item ? m_framesDirectory + QLatin1Char('/') + item->data(kFileNameRole).toString() : QString();
}

int CBrowserDlg::FirstSelected() const {
  for (int row = 0; row < m_list->count(); ++row) {
    if (m_list->item(row)->isSelected()) return row;
  }
  return -1;
}

void CBrowserDlg::RefreshFrames() {
  m_firstListingDue = false;
  {
    CWaitCursor wait;
    m_currentFrame = -1;
    m_group->setTitle(QString());
    m_thumbnails.clear();
    m_list->clear();
    m_list->viewport()->repaint();
    UpdatePreview();
    ListFrames();
  }
  ShowCount(false);
}

void CBrowserDlg::ListFrames() {
  // The list is not painted while it fills: every paint would lay out all
  // the items listed so far, once per frame. It shows them all at the end.
  m_list->setUpdatesEnabled(false);
  m_loadingCaptionClock.invalidate();
  ShowCount(true);
  IDirectorySearch& search = m_services.search;
  if (search.Start(m_framesDirectory, QLatin1String(kFramePattern))) {
    DirEntry entry;
    while (search.Next(entry)) {
      ExamineEntry(entry);
      ShowCount(true);
    }
    search.Finish();
  }
  m_list->setUpdatesEnabled(true);
  ArrangeList();
}

void CBrowserDlg::ExamineEntry(const DirEntry& entry) {
  if (entry.hidden || entry.directory || !entry.regularFile) return;
  const QString path = m_framesDirectory + QLatin1Char('/') + entry.name;
  if (!m_holder.Load(path)) return;
  if (m_holder.Width() != kFrameWidth || m_holder.Height() != kFrameHeight ||
      m_holder.BitsPerPixel() != kFrameBitsPerPixel) {
    return;
  }
  AddThumbnail(entry.name);
}

void CBrowserDlg::AddThumbnail(const QString& fileName) {
  // Nearest-neighbour shrinking by four: pixels are dropped, not smoothed.
  const QImage thumbnail =
      m_holder.Image().scaled(kThumbnailWidth, kThumbnailHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  const int imageIndex = static_cast<int>(m_thumbnails.size());
  m_thumbnails.append(QPixmap::fromImage(thumbnail));
  // The label is the name as the user reads it; the name as found stays
  // with the item, since that is what opens the file again.
  auto* item = new CFrameItem(QIcon(m_thumbnails.back()), DisplayFileName(fileName));
  item->setData(kFileNameRole, fileName);
  if (m_list->LabelIsShortened(item->text())) item->setToolTip(item->text());
  item->setData(kImageIndexRole, imageIndex);
  // The list keeps itself sorted by label, whatever the directory order.
  m_list->insertItem(m_list->count(), item);
}

void CBrowserDlg::ShowCount(bool loading) {
  m_group->setTitle(FormatCount(loading ? res::IDS_LOADING_COUNT : res::IDS_FRAME_COUNT, m_list->count()));
  if (loading) {
    if (m_loadingCaptionClock.isValid() && m_loadingCaptionClock.elapsed() < kLoadingCaptionIntervalMs) return;
    m_loadingCaptionClock.start();
  }
  RepaintCaption();
}

void CBrowserDlg::RepaintCaption() {
  // A listing runs without the event loop; the caption counts all the same.
  // Only the strip above the list is painted, so the list is not redrawn.
  const int stripHeight = m_listRect.top() - m_group->y();
  if (m_group->isVisible() && stripHeight > 0) m_group->repaint(0, 0, m_group->width(), stripHeight);
}

void CBrowserDlg::UpdatePreview() {
  if (m_thumbnailsOnly) return;
  const QListWidgetItem* item = m_currentFrame >= 0 ? m_list->item(m_currentFrame) : nullptr;
  if (!item) {
    m_preview->SetPicture(nullptr);
    ShowCount(false);
    return;
  }
  const QString fileName = item->text();
  // A frame that no longer loads shows an empty pane rather than whatever
  // picture the holder had before.
  m_preview->SetPicture(m_holder.Load(FramePath(m_currentFrame)) ? &m_holder : nullptr);
  const QString showing =
      QString::asprintf(res::LoadString(res::IDS_SHOWING).toUtf8().constData(), fileName.toUtf8().constData());
  ShowCount(false);
  m_group->setTitle(m_group->title() + showing);
  RepaintCaption();
}

void CBrowserDlg::ArrangeList() { m_list->doItemsLayout(); }

void CBrowserDlg::OnListClicked(const QPoint& pos) {
  m_currentFrame = m_list->HitTest(pos);
  UpdatePreview();
}

void CBrowserDlg::OnListKeyDown(int qtKey) {
  m_currentFrame = PredictKeyTarget(qtKey, FirstSelected(), m_list->count());
  UpdatePreview();
}

void CBrowserDlg::OnThumbnailsOnly() {
  m_thumbnailsOnly = !m_thumbnailsOnly;
  int width = m_listRect.width();
  if (m_thumbnailsOnly) {
    m_preview->hide();
    width += m_gap + m_previewRect.width();
  } else {
    m_preview->show();
  }
  m_list->resize(width, m_listRect.height());
  ArrangeList();
  m_list->viewport()->repaint();
  ShowCount(false);
  UpdatePreview();
}
