#pragma once

#include <QPixmap>

namespace kestrel::stillbox::res {

// Registers the compiled-in pictures; the program's library is static, so
// they are not registered by themselves. Safe to call more than once.
void EnsureResources();

// The picture of resource `id` (the 32-pixel icon for IDR_MAINFRAME), or a
// null pixmap for an id without one.
QPixmap LoadPicture(int id);

}  // namespace kestrel::stillbox::res
