// The player's pictures by resource id: icons, the hand cursor and bitmaps,
// each at its own size with a twice-as-large version for high-density
// screens. Loading an id that has no picture of that sort gives nothing.
#pragma once

#include <optional>

#include <QByteArray>
#include <QCursor>
#include <QIcon>
#include <QSize>

namespace kestrel {

struct IconResource {
  QIcon icon;
  QSize size;  // the picture's own size in device-independent pixels
};

std::optional<IconResource> LoadIconResource(int id);
// With the hot spot stored with the cursor, on the picture chosen for the
// screen's density.
std::optional<QCursor> LoadCursorResource(int id);
// A bitmap is handed out as an icon too, so that it is drawn from the right
// version at any scale; size is the bitmap's own.
std::optional<IconResource> LoadBitmapResource(int id);

// The scalable icons a desktop shows for the program ("kestrel-player") and
// for message files ("application-x-kestrel-message"), as SVG text; empty for
// any other name.
QByteArray LoadDesktopIcon(const QString& name);

}  // namespace kestrel
