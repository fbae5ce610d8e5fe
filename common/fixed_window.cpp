#include "fixed_window.h"

#include <QWidget>

#include "dialog_template.h"
#include "dialog_units.h"

namespace kestrel {

Qt::WindowFlags FixedWindowFlags(FixedWindowKind kind) {
  Qt::WindowFlags flags =
      Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (kind == FixedWindowKind::MainWindow) return flags | Qt::Window | Qt::WindowMinimizeButtonHint;
  return flags | Qt::Dialog;
}

void FixToTemplateSize(QWidget& window, const CDialogUnits& units, const DialogTemplate& layout, int extraHeight) {
  window.setFixedSize(units.X(layout.width), units.Y(layout.height) + extraHeight);
}

}  // namespace kestrel
