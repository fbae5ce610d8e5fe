#include "string_table.h"

#include "string_lookup.h"

namespace kestrel {

namespace {

constexpr StringEntry kStrings[] = {
    {IDS_APP_TITLE, "Kestrel Message Player"},
    {IDS_PLAY, "Play"},
    {IDS_PAUSE, "Pause"},
    {IDS_STOP, "Stop"},
    {IDS_OPEN_VOLUME, "Open Audio Volume Controls"},
    {IDS_CLOSE_VOLUME, "Close Audio Volume Controls"},
    {IDS_SYSTEM_VOLUME_PROGRAM, "pavucontrol"},
    {IDS_SYSTEM_VOLUME_MISSING, "System Audio Volume Controls were not found."},
    {IDS_CANNOT_OPEN_AUDIO,
     "Cannot open audio device.\nNote that if you are connected with Kestrel,\nthe audio device is captured by "
     "Kestrel."},
    {IDS_POSITION_FORMAT, "%02d mins, %02.1f secs "},
    {IDS_CANNOT_OPEN_FILE, "Cannot open file %s."},
    {IDS_COMPANY_NAME, "Orvane"},
    {IDS_CANNOT_SAVE_FILE, "Cannot save file %s."},
};

}  // namespace

const char* StringText(int id) { return FindString(kStrings, id); }

QString LoadString(int id) { return StringOf(kStrings, id); }

}  // namespace kestrel
