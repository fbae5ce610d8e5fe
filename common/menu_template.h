// Menu templates: popup menus as both programs describe them, and the one way
// they become Qt menus.
#pragma once

#include <span>

class QMenu;

namespace kestrel {

struct MenuItemTemplate {
  const char* text;                // with "&" before the mnemonic; nullptr for a separator
  int command;                     // 0 for a separator
  const char* shortcut = nullptr;  // a key sequence in Qt's portable text form
};

struct MenuTemplate {
  const char* title;  // a popup's title in a menu bar; unseen for a context menu
  std::span<const MenuItemTemplate> items;
  int id = 0;  // the resource id of a menu found by id
};

// The menu with `id` among `menus`, or nullptr.
const MenuTemplate* FindMenuTemplate(std::span<const MenuTemplate> menus, int id);

// Appends the items to `menu` in order: a separator for each separator, else
// an action with the item's text and shortcut whose data is its command.
void AddMenuItems(QMenu& menu, std::span<const MenuItemTemplate> items);

}  // namespace kestrel
