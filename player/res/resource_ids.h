// The player's resource, control and command ids.
#pragma once

namespace kestrel {

// Dialog templates, menus and pictures.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_PLAYER_DIALOG = 102;
inline constexpr int IDI_APPLICATION_ICON = 129;
inline constexpr int IDR_MAIN_MENU = 130;
inline constexpr int IDI_PLAY = 131;
inline constexpr int IDI_PAUSE = 132;
inline constexpr int IDI_STOP = 133;
inline constexpr int IDC_HAND_CURSOR = 134;
inline constexpr int IDI_VOLUME = 135;
inline constexpr int IDB_ABOUT = 138;

// Controls of the main window.
inline constexpr int IDC_PLAY_PAUSE = 1000;
inline constexpr int IDC_STOP = 1001;
inline constexpr int IDC_VOLUME = 1002;
inline constexpr int IDC_DISPLAY_AREA = 1004;

// The OK button of a dialog.
inline constexpr int IDOK = 1;

// Commands of menu 130.
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_CLOSE = 57602;
inline constexpr int ID_FILE_SAVE_FRAME = 57604;
inline constexpr int ID_APP_EXIT = 32773;
inline constexpr int ID_PLAY_PAUSE = 32774;
inline constexpr int ID_PLAY_STOP = 32775;
inline constexpr int ID_APP_ABOUT = 32776;

}  // namespace kestrel
