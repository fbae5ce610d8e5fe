// The private window messages that cross parts of the player, carried as
// the Qt events of common/window_message.h.
#pragma once

#include "window_message.h"

namespace kestrel {

inline constexpr int WM_PLAYBACK_ENDED = WM_USER + 0xC9;        // panel -> main window
inline constexpr int WM_VOLUME_DIALOG_CLOSED = WM_USER + 0x65;  // volume dialog -> sound output -> main window

}  // namespace kestrel
