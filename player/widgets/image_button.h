// A flat icon button in the manner of a tool bar: only its icon at rest, a
// raised 1-pixel border while the pointer is over it (hot), a sunken one with
// the icon moved by (1, 1) while pressed or latched. It shows its own cursor
// and a tool tip, and a double click acts as a second click.
#pragma once

#include <cstdint>
#include <optional>

#include <QCursor>
#include <QIcon>
#include <QPushButton>

namespace kestrel {

class CToolTip;

class CImageButton : public QPushButton {
  Q_OBJECT
 public:
  explicit CImageButton(QWidget* parent = nullptr);

  // Icon A is shown while hot or pressed, icon B otherwise (B = A for id 0).
  // Each at its own size. False, and no image, when an icon is missing.
  bool SetIcons(int iconA, int iconB);
  // False when there is no such cursor; the default one stays.
  bool SetHoverCursor(int cursorId);
  // False for a missing or empty string; the current tip stays.
  bool SetToolTipText(int stringId);
  void SetLatched(bool latched);

  bool IsHot() const { return hot_; }
  bool IsLatched() const { return latched_; }
  // The id icon A was loaded from; 0 without an icon.
  int IconId() const { return iconAId_; }
  int ImageWidth() const { return imageWidth_; }
  int ImageHeight() const { return imageHeight_; }
  // Created on first need.
  CToolTip* ToolTip() const { return toolTip_; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void EnsureToolTip();
  void SetHot(bool hot);

  std::optional<QIcon> iconA_;
  std::optional<QIcon> iconB_;
  int iconAId_ = 0;
  std::uint8_t imageHeight_ = 0;
  std::uint8_t imageWidth_ = 0;
  CToolTip* toolTip_ = nullptr;
  bool hasCursor_ = false;
  bool hot_ = false;
  bool latched_ = false;
};

}  // namespace kestrel
