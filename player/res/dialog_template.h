// Dialog templates laid out in dialog units: the main window (102) and the
// About box (100). The playback panel's template has its own header.
#pragma once

#include <span>

namespace kestrel {

enum class DialogControlKind {
  ImageButton,  // push button with the icon style, painted by CImageButton
  SunkenFrame,  // static, sunken
  Bitmap,       // static picture of a bitmap resource, centred
  Icon,         // static picture of an icon resource
  CentredText,  // static text, centred; may hold several lines
  PushButton,   // default push button
};

struct DialogControl {
  int id;  // -1 for a static without an id
  DialogControlKind kind;
  int x, y, width, height;
  const char* text;  // the caption; for pictures empty
  int resource;      // the picture of Bitmap and Icon, else 0
};

struct DialogTemplate {
  int id;
  const char* title;  // empty: set by the program
  int width, height;
  std::span<const DialogControl> controls;
};

const DialogTemplate& MainWindowTemplate();  // 102
const DialogTemplate& AboutBoxTemplate();    // 100

}  // namespace kestrel
