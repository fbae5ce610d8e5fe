// Dialog templates: a window's size and its controls in dialog units, as
// both programs lay out their windows and About boxes.
#pragma once

#include <QRect>

#include <span>

namespace kestrel {

enum class DialogControlKind {
  ImageButton,  // push button with the icon style, painted by the program
  SunkenFrame,  // static, sunken
  GroupBox,
  IconList,
  Static,  // an empty static the program fills
  CheckBox,
  Bitmap,       // static picture of a bitmap resource
  Icon,         // static picture of an icon resource
  CentredText,  // static text, centred; may hold several lines
  PushButton,   // default push button
};

struct DialogControl {
  int id;  // -1 for a static without an id
  DialogControlKind kind;
  QRect rect;        // dialog units
  const char* text;  // the caption; for pictures empty
  int picture;       // the resource of Bitmap and Icon, else 0
};

struct DialogTemplate {
  int id;
  const char* title;  // empty: set by the program
  int width, height;  // the client area, dialog units
  std::span<const DialogControl> controls;

  // The control with the given id; the first one when several share it,
  // nullptr when none has it.
  const DialogControl* Control(int controlId) const;
};

// The template with `id` among `templates`, or nullptr.
const DialogTemplate* FindDialogTemplate(std::span<const DialogTemplate> templates, int id);

}  // namespace kestrel
