#include "frame_item.h"

namespace kestrel::stillbox {

bool CFrameItem::operator<(const QListWidgetItem& other) const {
  const int folded = text().compare(other.text(), Qt::CaseInsensitive);
  if (folded != 0) return folded < 0;
  return text() < other.text();
}

}  // namespace kestrel::stillbox
