#include "preview_pane.h"

#include "frame_holder.h"

#include <QPaintEvent>
#include <QPainter>

namespace kestrel::stillbox {

CPreviewPane::CPreviewPane(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setAccessibleName(QStringLiteral("Preview"));
  setAccessibleDescription(QStringLiteral("The chosen frame at its natural size"));
}

void CPreviewPane::SetPicture(const CFrameHolder* holder) {
  picture_ = holder;
  if (holder) {
    // Client coordinates start inside the sunken edge.
    const QRect client = contentsRect();
    const int left = client.left();
    const int top = client.top();
    const int right = left + client.width();
    const int bottom = top + client.height();
    const int centreX = (left + right) / 2;
    const int centreY = (top + bottom) / 2;
    const int width = holder->Width();
    const int height = holder->Height();
    const int destLeft = std::max(left, centreX - width / 2);
    const int destTop = std::max(top, centreY - height / 2);
    destination_ = QRect(destLeft, destTop, width, height);
  }
  update();
}

void CPreviewPane::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (!picture_) return;
  QPainter painter(this);
  picture_->Draw(painter, destination_, event->rect() & contentsRect());
}

}  // namespace kestrel::stillbox
