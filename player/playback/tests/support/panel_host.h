// A bare window holding a playback panel, counting the ends it reports.
#pragma once

#include <QEvent>
#include <QWidget>

#include "window_messages.h"

namespace kestrel::testing {

class CPanelHost : public QWidget {
 public:
  int ended = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == EventTypeOf(WM_PLAYBACK_ENDED)) {
      ++ended;
      return true;
    }
    return QWidget::event(event);
  }
};

}  // namespace kestrel::testing
