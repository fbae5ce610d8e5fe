#include "dialog_templates.h"

#include "resource_ids.h"

namespace res {

namespace {

const ControlTemplate kBrowserControls[] = {
    {IDC_FRAMES_GROUP, ControlKind::GroupBox, QRect(3, 4, 430, 178), ""},
    {IDC_FRAME_LIST, ControlKind::IconList, QRect(11, 15, 176, 161), ""},
    {IDC_PREVIEW, ControlKind::Static, QRect(195, 15, 230, 161), ""},
    {IDC_THUMBNAILS_ONLY, ControlKind::CheckBox, QRect(3, 186, 69, 10), "Thumbnails Only"},
};

const ControlTemplate kAboutControls[] = {
    {IDC_STATIC, ControlKind::Picture, QRect(7, 7, 130, 122), ":/stillbox/bitmap129.png"},
    {IDC_STATIC, ControlKind::Text, QRect(12, 131, 119, 8), "Kestrel Frames Browser v1.0"},
    {IDC_STATIC, ControlKind::Icon, QRect(61, 145, 20, 20), ":/stillbox/icon128-32.png"},
    {IDC_STATIC, ControlKind::Text, QRect(21, 173, 100, 30),
     "Browses the still frames\nsaved by the video phone.\nCopyright (C) Orvane"},
    {IDOK, ControlKind::PushButton, QRect(47, 210, 50, 14), "Close"},
};

const DialogTemplate kTemplates[] = {
    {IDD_ABOUTBOX, "About Frames Browser", 144, 231, kAboutControls},
    {IDD_BROWSER, "Kestrel Frames Browser", 438, 199, kBrowserControls},
};

}  // namespace

const ControlTemplate* DialogTemplate::Control(int controlId) const {
  for (const ControlTemplate& control : controls) {
    if (control.id == controlId) return &control;
  }
  return nullptr;
}

const DialogTemplate* FindDialogTemplate(int id) {
  for (const DialogTemplate& dialog : kTemplates) {
    if (dialog.id == id) return &dialog;
  }
  return nullptr;
}

}  // namespace res
