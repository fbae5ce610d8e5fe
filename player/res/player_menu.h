// Menu 130, the main window's menu bar.
#pragma once

#include <span>

#include "menu_template.h"

namespace kestrel {

std::span<const MenuTemplate> MainMenuTemplate();

}  // namespace kestrel
