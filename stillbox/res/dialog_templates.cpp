#include "dialog_templates.h"

#include "resource_ids.h"

namespace kestrel::stillbox::res {

namespace {

constexpr DialogControl kBrowserControls[] = {
    {IDC_FRAMES_GROUP, DialogControlKind::GroupBox, QRect(3, 4, 430, 178), "", 0},
    {IDC_FRAME_LIST, DialogControlKind::IconList, QRect(11, 15, 176, 161), "", 0},
    {IDC_PREVIEW, DialogControlKind::Static, QRect(195, 15, 230, 161), "", 0},
    {IDC_THUMBNAILS_ONLY, DialogControlKind::CheckBox, QRect(3, 186, 69, 10), "Thumbnails Only", 0},
};

constexpr DialogControl kAboutControls[] = {
    {IDC_STATIC, DialogControlKind::Bitmap, QRect(7, 7, 130, 122), "", IDB_ABOUT},
    {IDC_STATIC, DialogControlKind::CentredText, QRect(12, 131, 119, 8), "Kestrel Frames Browser v1.0", 0},
    {IDC_STATIC, DialogControlKind::Icon, QRect(61, 145, 20, 20), "", IDR_MAINFRAME},
    {IDC_STATIC, DialogControlKind::CentredText, QRect(21, 173, 100, 30),
     "Browses the still frames\nsaved by the video phone.\nCopyright (C) Orvane", 0},
    {IDOK, DialogControlKind::PushButton, QRect(47, 210, 50, 14), "Close", 0},
};

constexpr DialogTemplate kTemplates[] = {
    {IDD_ABOUTBOX, "About Frames Browser", 144, 231, kAboutControls},
    {IDD_BROWSER, "Kestrel Frames Browser", 438, 199, kBrowserControls},
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) { return kestrel::FindDialogTemplate(kTemplates, id); }

}  // namespace kestrel::stillbox::res
