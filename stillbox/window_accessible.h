#pragma once

class QWidget;

// Presents `window` to a screen reader as an application's main window (a
// frame): Qt presents a plain top-level widget as a filler.
void PresentAsMainWindow(QWidget* window);
