// The private window messages that cross parts of the player, as Qt event
// types: QEvent::User plus the message's number. Both "parameters" are 0, so
// a plain QEvent of the type carries everything.
#pragma once

#include <QEvent>

namespace kestrel {

inline constexpr int WM_USER = 0x400;
inline constexpr int WM_PLAYBACK_ENDED = WM_USER + 0xC9;        // panel -> main window
inline constexpr int WM_VOLUME_DIALOG_CLOSED = WM_USER + 0x65;  // volume dialog -> sound output -> main window

constexpr QEvent::Type EventTypeOf(int windowMessage) {
  return static_cast<QEvent::Type>(QEvent::User + windowMessage);
}

}  // namespace kestrel
