// Menu 130, the main window's menu bar.
#pragma once

#include <span>

namespace kestrel {

struct MenuItemTemplate {
  const char* text;                // with "&" before the mnemonic; nullptr for a separator
  int command;                     // 0 for a separator
  const char* shortcut = nullptr;  // a key sequence in Qt's portable text form
};

struct MenuTemplate {
  const char* title;
  std::span<const MenuItemTemplate> items;
};

std::span<const MenuTemplate> MainMenuTemplate();

}  // namespace kestrel
