#include "string_table.h"

#include "resource_ids.h"
#include "string_lookup.h"

namespace kestrel::stillbox::res {

namespace {

constexpr kestrel::StringEntry kStrings[] = {
    {IDS_ABOUTBOX, "&About Kestrel Frames Browser..."},
    {IDS_WINDOW_TITLE, "Kestrel Frames Browser"},
    {IDS_INSTANCE_MUTEX, "Talvio Frames Browser SingleInstance Mutex"},
    {IDS_FRAME_COUNT, "%d Frames"},
    {IDS_LOADING_COUNT, "Loading thumbnails...(%d)"},
    {IDS_SHOWING, "    [Showing %s]"},
    {IDS_DELETING_ALL, "Deleting All Frames..."},
    {IDS_DELETING_SEVERAL, "Deleting Frames..."},
    {IDS_DELETING_ONE, "Deleting Frame..."},
};

}  // namespace

QString LoadString(int id) { return kestrel::StringOf(kStrings, id); }

}  // namespace kestrel::stillbox::res
