#pragma once

#include <QListWidgetItem>

namespace kestrel::stillbox {

// A thumbnail list item. Labels sort the way the desktop sorts file names:
// letters compare without regard to case ("eight.bmp" before "UPPER.BMP"),
// and only names that differ in case alone are ordered by it.
class CFrameItem : public QListWidgetItem {
 public:
  using QListWidgetItem::QListWidgetItem;
  bool operator<(const QListWidgetItem& other) const override;
};

}  // namespace kestrel::stillbox
