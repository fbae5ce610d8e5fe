#pragma once

#include "dialog_template.h"

namespace kestrel::stillbox::res {

// Template 100 (About box) or 102 (browser window); nullptr for others. Both
// use the dialog font, "MS Sans Serif" 8.
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace kestrel::stillbox::res
