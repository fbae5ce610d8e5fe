#include "dialog_template.h"

namespace kestrel {

const DialogControl* DialogTemplate::Control(int controlId) const {
  for (const DialogControl& control : controls) {
    if (control.id == controlId) return &control;
  }
  return nullptr;
}

const DialogTemplate* FindDialogTemplate(std::span<const DialogTemplate> templates, int id) {
  for (const DialogTemplate& dialog : templates) {
    if (dialog.id == id) return &dialog;
  }
  return nullptr;
}

}  // namespace kestrel
