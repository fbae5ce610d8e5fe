#pragma once

#include "window_message.h"

namespace kestrel::stillbox {

// The browser's private window message: re-read the frames directory. Any
// process may ask the running browser for it; the window also posts it to
// itself once its first paint is due.
inline constexpr int WM_REFRESH_FRAMES = kestrel::WM_USER + 100;

// The Qt event type that carries a window message number.
inline QEvent::Type EventTypeForMessage(int message) { return kestrel::EventTypeOf(message); }

}  // namespace kestrel::stillbox
