#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace kestrel {

// The one request line a copy of a program sends to the copy holding the
// single-instance name: a window message number and an end of line.
QByteArray InstanceRequestLine(int request);

// The longest thing a peer may send before its line must have ended.
inline constexpr qsizetype kMaxInstanceRequestBytes = 16;

// What the holder does with the bytes a peer has sent so far.
enum class RequestVerdict {
  Wait,    // no end of line yet, and still short enough to be the request
  Handle,  // the first line is exactly the expected request
  HangUp,  // anything else: a wrong line, or too many bytes without an end
};

// Judges `received` against `expectedLine` (InstanceRequestLine of the
// program's request) as bytes, so that nothing a peer sends is ever taken
// for a number of its own.
RequestVerdict JudgeRequest(QByteArrayView received, QByteArrayView expectedLine);

}  // namespace kestrel
