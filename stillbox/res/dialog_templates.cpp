#include "dialog_templates.h"

#include "resource_ids.h"

namespace res {

namespace {

constexpr std::uint32_t WS_EX_TRANSPARENT = 0x00000020;
constexpr std::uint32_t WS_EX_CLIENTEDGE = 0x00000200;
constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;

const ControlTemplate kBrowserControls[] = {
    {IDC_FRAMES_GROUP, ControlKind::GroupBox, QRect(3, 4, 430, 178), 0x50020307, WS_EX_TRANSPARENT, ""},
    {IDC_FRAME_LIST, ControlKind::IconList, QRect(11, 15, 176, 161), 0x50010010, WS_EX_CLIENTEDGE, ""},
    {IDC_PREVIEW, ControlKind::Static, QRect(195, 15, 230, 161), 0x50000000, WS_EX_CLIENTEDGE, ""},
    {IDC_THUMBNAILS_ONLY, ControlKind::CheckBox, QRect(3, 186, 69, 10), 0x50010003, 0, "Thumbnails Only"},
};

const ControlTemplate kAboutControls[] = {
    {IDC_STATIC, ControlKind::Picture, QRect(7, 7, 130, 122), 0x5000000E, 0, ":/stillbox/bitmap129.png"},
    {IDC_STATIC, ControlKind::Text, QRect(12, 131, 119, 8), 0x50000081, 0, "Kestrel Frames Browser v1.0"},
    {IDC_STATIC, ControlKind::Icon, QRect(61, 145, 20, 20), 0x50000003, 0, ":/stillbox/icon128-32.png"},
    {IDC_STATIC, ControlKind::Text, QRect(21, 173, 100, 30), 0x50000001, 0,
     "Browses the still frames\nsaved by the video phone.\nCopyright (C) Orvane"},
    {IDOK, ControlKind::PushButton, QRect(47, 210, 50, 14), 0x50010001, 0, "Close"},
};

const DialogTemplate kTemplates[] = {
    {IDD_ABOUTBOX, "About Frames Browser", 144, 231, 0x80C800C0, 0, kAboutControls},
    {IDD_BROWSER, "Kestrel Frames Browser", 438, 199, 0x90CA00C4, WS_EX_APPWINDOW,
     kBrowserControls},
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
