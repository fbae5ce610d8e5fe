#pragma once

#include "menu_template.h"

namespace kestrel::stillbox::res {

// Popup menu 130, 131 or 132; nullptr for others.
const MenuTemplate* FindMenuTemplate(int id);

}  // namespace kestrel::stillbox::res
