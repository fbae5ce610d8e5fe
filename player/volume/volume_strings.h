// The string table entries of the volume controls: the system volume
// program and the message shown when it cannot be started.
#pragma once

#include <QString>

namespace kestrel {

inline constexpr int IDS_SYSTEM_VOLUME_PROGRAM = 7;
inline constexpr int IDS_SYSTEM_VOLUME_MISSING = 8;

// The entry's text; empty for an id that is not one of these.
QString LoadVolumeString(int id);

}  // namespace kestrel
