// The program-wide key filter: a press of Escape or Return/Enter is dropped
// before it reaches any of the player's windows, the About box included, so
// that neither key closes a window. Key releases and other keys pass, and so
// do the keys of popup menus, message boxes and the file dialog, which are the
// system's own windows with their own meaning for them.
#pragma once

#include <QObject>

namespace kestrel {

class CKeyFilter : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  // True when `event` is dropped on its way to `receiver`.
  static bool Drops(QObject* receiver, QEvent* event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kestrel
