#pragma once

#include <QWidget>

// Windows that belong to the desktop shell rather than to the program (its
// confirmation, progress and file dialogs) carry this mark. The program's key
// filter leaves their keys alone, so Enter and Escape work in them as usual.
inline constexpr char kShellWindowProperty[] = "kestrelShellWindow";

inline void MarkAsShellWindow(QWidget* window) { window->setProperty(kShellWindowProperty, true); }

inline bool IsShellWindow(const QWidget* window) {
  return window && window->property(kShellWindowProperty).toBool();
}
