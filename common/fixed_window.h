// Windows of a fixed size laid out from a dialog template: the frame they
// get and the size they are held at.
#pragma once

#include <Qt>

class QWidget;

namespace kestrel {

class CDialogUnits;
struct DialogTemplate;

enum class FixedWindowKind {
  MainWindow,  // with a minimise box
  Dialog,
};

// Caption, system menu and close box, with a minimise box for a main window;
// never a maximise box, since the window cannot grow.
Qt::WindowFlags FixedWindowFlags(FixedWindowKind kind);

// Holds `window` at the template's size in `units`, with `extraHeight`
// pixels for what sits above the client area (a menu bar).
void FixToTemplateSize(QWidget& window, const CDialogUnits& units, const DialogTemplate& layout, int extraHeight = 0);

}  // namespace kestrel
