#include "player_dialogs.h"

#include "resource_ids.h"

namespace kestrel {

namespace {

constexpr DialogControl kMainWindowControls[] = {
    {IDC_PLAY_PAUSE, DialogControlKind::ImageButton, QRect(7, 7, 31, 25), "", 0},
    {IDC_STOP, DialogControlKind::ImageButton, QRect(41, 7, 31, 25), "", 0},
    {IDC_VOLUME, DialogControlKind::ImageButton, QRect(207, 7, 31, 25), "", 0},
    {IDC_DISPLAY_AREA, DialogControlKind::SunkenFrame, QRect(7, 35, 231, 191), "", 0},
};

constexpr DialogControl kAboutBoxControls[] = {
    {-1, DialogControlKind::Bitmap, QRect(7, 7, 130, 62), "", IDB_ABOUT},
    {-1, DialogControlKind::CentredText, QRect(7, 76, 130, 10), "Kestrel Message Player v1.0", 0},
    {-1, DialogControlKind::Icon, QRect(62, 92, 20, 20), "", IDI_APPLICATION_ICON},
    {-1, DialogControlKind::CentredText, QRect(7, 122, 130, 80),
     "Companion of the Kestrel video-phone\nCopyright (C) Orvane\nAll rights reserved.", 0},
    {IDOK, DialogControlKind::PushButton, QRect(47, 208, 50, 14), "Close", 0},
};

constexpr DialogTemplate kMainWindow{IDD_PLAYER_DIALOG, "", 245, 233, kMainWindowControls};
constexpr DialogTemplate kAboutBox{IDD_ABOUTBOX, "About Message Player", 144, 230, kAboutBoxControls};

}  // namespace

const DialogTemplate& MainWindowTemplate() { return kMainWindow; }
const DialogTemplate& AboutBoxTemplate() { return kAboutBox; }

}  // namespace kestrel
