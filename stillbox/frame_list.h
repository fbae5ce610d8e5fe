#pragma once

#include <QListWidget>

namespace kestrel::stillbox {

// The thumbnail list: an icon view kept sorted by label, several items
// selectable. It reports clicks (on items or empty space), right clicks and
// key presses to its owner as the list view's notifications do: a click after
// the list has handled it, a key before the list moves its selection.
class CFrameList : public QListWidget {
  Q_OBJECT

 public:
  explicit CFrameList(QWidget* parent = nullptr);

  // Index of the item under pos (viewport coordinates), -1 for none.
  int HitTest(const QPoint& pos) const;
  // Whether label is too long to be shown whole under its thumbnail.
  bool LabelIsShortened(const QString& label) const;
  static int LabelWidth();

 signals:
  void Clicked(const QPoint& viewportPos);
  void RightClicked(const QPoint& viewportPos, const QPoint& globalPos);
  void KeyDown(int qtKey);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace kestrel::stillbox
