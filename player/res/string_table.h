// The player's string table, by the resource ids the rest of the program uses.
#pragma once

#include <QString>

namespace kestrel {

inline constexpr int IDS_APP_TITLE = 1;
inline constexpr int IDS_PLAY = 2;
inline constexpr int IDS_PAUSE = 3;
inline constexpr int IDS_STOP = 4;
inline constexpr int IDS_OPEN_VOLUME = 5;
inline constexpr int IDS_CLOSE_VOLUME = 6;
inline constexpr int IDS_SYSTEM_VOLUME_PROGRAM = 7;  // started by the volume dialog
inline constexpr int IDS_SYSTEM_VOLUME_MISSING = 8;
inline constexpr int IDS_CANNOT_OPEN_AUDIO = 9;
inline constexpr int IDS_POSITION_FORMAT = 10;   // a printf format: minutes, then seconds
inline constexpr int IDS_CANNOT_OPEN_FILE = 11;  // a printf format: the path
inline constexpr int IDS_COMPANY_NAME = 12;
inline constexpr int IDS_CANNOT_SAVE_FILE = 13;  // a printf format: the path

// The entry's text, or nullptr for an id without one.
const char* StringText(int id);
// The same as a QString; empty for an id without one.
QString LoadString(int id);

}  // namespace kestrel
