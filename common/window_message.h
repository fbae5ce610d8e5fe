// The private window messages both programs use (a number above WM_USER,
// both parameters 0) travel as Qt events of type QEvent::User plus the
// message's number, so a plain QEvent of that type carries everything.
#pragma once

#include <QEvent>

namespace kestrel {

inline constexpr int WM_USER = 0x400;

constexpr QEvent::Type EventTypeOf(int windowMessage) {
  return static_cast<QEvent::Type>(QEvent::User + windowMessage);
}

}  // namespace kestrel
