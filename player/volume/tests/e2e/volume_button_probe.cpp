// Prints where the main window's Volume button lies inside the window, as
// "x y width height" in pixels, laid out the way the main window lays out
// its template: the dialog font's units, below the menu bar.
#include <cstdio>

#include <QApplication>
#include <QMenuBar>
#include <QWidget>

#include "dialog_units.h"
#include "player_dialogs.h"
#include "player_menu.h"
#include "resource_ids.h"

int main(int argc, char** argv) {
  using namespace kestrel;
  QApplication application(argc, argv);
  QWidget window;
  window.setFont(CDialogUnits::DialogFont());
  QMenuBar menu(&window);
  for (const MenuTemplate& popup : MainMenuTemplate()) menu.addMenu(QString::fromLatin1(popup.title));
  const CDialogUnits units(window.font());
  for (const DialogControl& control : MainWindowTemplate().controls) {
    if (control.id != IDC_VOLUME) continue;
    QRect rect = units.ToPixels(control.rect);
    rect.translate(0, menu.sizeHint().height());
    std::printf("%d %d %d %d\n", rect.x(), rect.y(), rect.width(), rect.height());
    return 0;
  }
  return 1;
}
