// The program-wide key filter. The programs' own dialog windows end on OK and
// Cancel, so a press of Escape or Return/Enter aimed at one of them is
// dropped: neither key closes a main window, the playback panel, an About box
// or the volume dialog. Every other window (message boxes, popup and context
// menus, file dialogs with their completion lists and overwrite prompts,
// combo-box lists) keeps the keys' usual meaning. Key releases and other keys
// always pass.
#pragma once

#include <QObject>

class QWidget;

namespace kestrel {

// Counts `window` among the program's own dialog windows; the filter drops
// Escape and Return only for those.
void MarkAsOwnDialog(QWidget* window);
bool IsOwnDialog(const QWidget* window);

class CKeyFilter : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kestrel
