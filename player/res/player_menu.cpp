#include "player_menu.h"

#include "resource_ids.h"

namespace kestrel {

namespace {

constexpr MenuItemTemplate kFileItems[] = {
    {"&Open...", ID_FILE_OPEN},
    {"&Close", ID_FILE_CLOSE},
    {"&Save Frame As...", ID_FILE_SAVE_FRAME, "Ctrl+S"},
    {nullptr, 0},
    {"E&xit", ID_APP_EXIT},
};
constexpr MenuItemTemplate kPlayItems[] = {
    {"&Play/Pause", ID_PLAY_PAUSE},
    {"&Stop", ID_PLAY_STOP},
};
constexpr MenuItemTemplate kHelpItems[] = {
    {"&About Kestrel Message Player...", ID_APP_ABOUT},
};
constexpr MenuTemplate kMenus[] = {
    {"&File", kFileItems},
    {"&Play", kPlayItems},
    {"&Help", kHelpItems},
};

}  // namespace

std::span<const MenuTemplate> MainMenuTemplate() { return kMenus; }

}  // namespace kestrel
