#pragma once

#include <QObject>

// The program-wide key filter: a press of Escape or Return/Enter is dropped
// whichever of the program's windows it is meant for, so neither key closes
// the browser or its About box. Key releases, other keys, popup menus and the
// windows of the desktop shell (marked with MarkAsShellWindow) are left alone.
class CKeyFilter : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // True when event would be dropped for receiver.
  static bool Drops(QObject* receiver, QEvent* event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
