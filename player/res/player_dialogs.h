// Dialog templates laid out in dialog units: the main window (102) and the
// About box (100). The playback panel's template has its own header.
#pragma once

#include "dialog_template.h"

namespace kestrel {

const DialogTemplate& MainWindowTemplate();  // 102
const DialogTemplate& AboutBoxTemplate();    // 100

}  // namespace kestrel
