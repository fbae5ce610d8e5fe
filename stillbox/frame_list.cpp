#include "frame_list.h"

#include "frame_label_delegate.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace kestrel::stillbox {

namespace {

constexpr QSize kThumbnailSize(80, 60);
// Room for two lines of label under the thumbnail; two cells fit across the
// list.
constexpr QSize kGridSize(124, 100);
constexpr int kLabelMargin = 6;

}  // namespace

CFrameList::CFrameList(QWidget* parent) : QListWidget(parent) {
  setViewMode(QListView::IconMode);
  setIconSize(kThumbnailSize);
  setGridSize(kGridSize);
  setItemDelegate(new CFrameLabelDelegate(LabelWidth(), this));
  setMovement(QListView::Static);
  setResizeMode(QListView::Adjust);
  setWrapping(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSortingEnabled(true);
  sortItems(Qt::AscendingOrder);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
  // Right clicks are the list's own; the window's menu is not offered here.
  setContextMenuPolicy(Qt::PreventContextMenu);
  viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
}

int CFrameList::LabelWidth() { return kGridSize.width() - 2 * kLabelMargin; }

bool CFrameList::LabelIsShortened(const QString& label) const {
  bool shortened = false;
  CFrameLabelDelegate::WrappedLabel(label, font(), LabelWidth(), &shortened);
  return shortened;
}

int CFrameList::HitTest(const QPoint& pos) const {
  const QModelIndex index = indexAt(pos);
  return index.isValid() ? index.row() : -1;
}

void CFrameList::mouseReleaseEvent(QMouseEvent* event) {
  QListWidget::mouseReleaseEvent(event);
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton) emit Clicked(pos);
  if (event->button() == Qt::RightButton) emit RightClicked(pos, event->globalPosition().toPoint());
}

void CFrameList::keyPressEvent(QKeyEvent* event) {
  emit KeyDown(event->key());
  QListWidget::keyPressEvent(event);
}

}  // namespace kestrel::stillbox
