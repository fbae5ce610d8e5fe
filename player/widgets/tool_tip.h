// The tool tip of one control: a single tool covering the control, shown
// 100 ms after the pointer comes to rest over it and taken down after two
// seconds, when the pointer leaves or when a button is pressed; never while
// another program is active. The control relays its events to it.
#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

class QEvent;
class QWidget;

namespace kestrel {

class CToolTip : public QObject {
  Q_OBJECT
 public:
  static constexpr int kAutoPopMs = 2000;
  static constexpr int kInitialMs = 100;

  explicit CToolTip(QWidget* owner);

  // The one tool: its area in the owner's coordinates and its text.
  bool HasTool() const { return hasTool_; }
  void AddTool(const QRect& area, const QString& text);
  void UpdateTipText(const QString& text);
  void Activate(bool active);

  QString Text() const { return text_; }
  bool IsActive() const { return active_; }
  bool IsShowing() const { return showing_; }

  // Every event of the owner passes through here before the owner sees it.
  void RelayEvent(QEvent* event);

 private:
  void ShowNow();
  void TakeDown();

  QWidget* owner_;
  bool hasTool_ = false;
  bool active_ = false;
  bool showing_ = false;
  // Shown once since the pointer came: it comes back only after a new entry.
  bool shownSinceEnter_ = false;
  QRect area_;
  QString text_;
  QTimer delay_;
};

}  // namespace kestrel
