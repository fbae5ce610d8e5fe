#include "menu_templates.h"

#include "resource_ids.h"

namespace kestrel::stillbox::res {

namespace {

constexpr MenuItemTemplate kSeparator{nullptr, 0};

constexpr MenuItemTemplate kNoneItems[] = {
    {"&Refresh", ID_REFRESH},
    kSeparator,
    {"Delete &All", ID_DELETE_ALL},
};

constexpr MenuItemTemplate kSingleItems[] = {
    {"&Delete", ID_DELETE_ONE},     {"&Save As...", ID_SAVE_AS}, kSeparator, {"&Refresh", ID_REFRESH}, kSeparator,
    {"Delete &All", ID_DELETE_ALL},
};

constexpr MenuItemTemplate kMultipleItems[] = {
    {"&Delete", ID_DELETE_SEVERAL}, kSeparator, {"&Refresh", ID_REFRESH}, kSeparator, {"Delete &All", ID_DELETE_ALL},
};

constexpr MenuTemplate kMenus[] = {
    {"None", kNoneItems, IDR_MENU_NONE},
    {"Single", kSingleItems, IDR_MENU_SINGLE},
    {"Multiple", kMultipleItems, IDR_MENU_MULTIPLE},
};

}  // namespace

const MenuTemplate* FindMenuTemplate(int id) { return kestrel::FindMenuTemplate(kMenus, id); }

}  // namespace kestrel::stillbox::res
