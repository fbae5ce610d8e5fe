#include "frame_holder.h"

#include <QImageReader>
#include <QPainter>

bool CFrameHolder::Load(const QString& path) {
  m_image = QImage();
  QImageReader reader(path);
  QImage loaded;
  if (!reader.read(&loaded)) return false;
  m_image = loaded.convertToFormat(QImage::Format_BGR888);
  return !m_image.isNull();
}

void CFrameHolder::Draw(QPainter& painter, const QRect& destination, const QRect& clip) const {
  if (m_image.isNull()) return;
  painter.save();
  painter.setClipRect(clip);
  painter.drawImage(destination.topLeft(), m_image);
  painter.restore();
}
