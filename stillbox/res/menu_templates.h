#pragma once

#include <span>

namespace res {

// One item of a popup menu; a separator has command 0 and no text.
struct MenuItemTemplate {
  int command;
  const char* text;
};

struct MenuTemplate {
  int id;
  const char* popupName;  // never shown
  std::span<const MenuItemTemplate> items;
};

// Menu 130, 131 or 132; nullptr for others.
const MenuTemplate* FindMenuTemplate(int id);

}  // namespace res
