#pragma once

#include <QRect>
#include <QString>

#include <cstdint>
#include <span>

namespace res {

enum class ControlKind {
  GroupBox,
  IconList,
  Static,
  CheckBox,
  Picture,  // a static showing a bitmap resource
  Icon,     // a static showing an icon resource
  Text,     // a static with text
  PushButton,
};

// One control of a dialog template; the rectangle is in dialog units.
struct ControlTemplate {
  int id;
  ControlKind kind;
  QRect rect;
  const char* text;  // or the resource name of a picture
};

// Both templates use the dialog font, "MS Sans Serif" 8.
struct DialogTemplate {
  int id;
  const char* caption;
  int width;  // dialog units
  int height;
  std::span<const ControlTemplate> controls;

  // The control with the given id; the first one when several share it.
  const ControlTemplate* Control(int controlId) const;
};

// Template 100 (About box) or 102 (browser window); nullptr for others.
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace res
