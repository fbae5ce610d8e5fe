#include "menu_templates.h"

#include "resource_ids.h"

namespace res {

namespace {

constexpr MenuItemTemplate kSeparator{0, nullptr};

const MenuItemTemplate kNoneItems[] = {
    {ID_REFRESH, "&Refresh"},
    kSeparator,
    {ID_DELETE_ALL, "Delete &All"},
};

const MenuItemTemplate kSingleItems[] = {
    {ID_DELETE_ONE, "&Delete"},     {ID_SAVE_AS, "&Save As..."}, kSeparator, {ID_REFRESH, "&Refresh"}, kSeparator,
    {ID_DELETE_ALL, "Delete &All"},
};

const MenuItemTemplate kMultipleItems[] = {
    {ID_DELETE_SEVERAL, "&Delete"}, kSeparator, {ID_REFRESH, "&Refresh"}, kSeparator, {ID_DELETE_ALL, "Delete &All"},
};

const MenuTemplate kMenus[] = {
    {IDR_MENU_NONE, "None", kNoneItems},
    {IDR_MENU_SINGLE, "Single", kSingleItems},
    {IDR_MENU_MULTIPLE, "Multiple", kMultipleItems},
};

}  // namespace

const MenuTemplate* FindMenuTemplate(int id) {
  for (const MenuTemplate& menu : kMenus) {
    if (menu.id == id) return &menu;
  }
  return nullptr;
}

}  // namespace res
