#pragma once

// Numeric ids of the browser's resources, controls and commands. They are the
// program's own numbers and are used by name everywhere else.
namespace kestrel::stillbox::res {

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_BROWSER = 102;

// Strings.
inline constexpr int IDS_ABOUTBOX = 101;      // system-menu entry text
inline constexpr int IDS_WINDOW_TITLE = 102;  // also the running copy's title
inline constexpr int IDS_INSTANCE_MUTEX = 103;
inline constexpr int IDS_FRAME_COUNT = 104;
inline constexpr int IDS_LOADING_COUNT = 105;
inline constexpr int IDS_SHOWING = 106;
inline constexpr int IDS_DELETING_ALL = 107;
inline constexpr int IDS_DELETING_SEVERAL = 108;
inline constexpr int IDS_DELETING_ONE = 109;

// Pictures.
inline constexpr int IDR_MAINFRAME = 128;  // application icon
inline constexpr int IDB_ABOUT = 129;      // About box picture

// Popup menus.
inline constexpr int IDR_MENU_NONE = 130;
inline constexpr int IDR_MENU_SINGLE = 131;
inline constexpr int IDR_MENU_MULTIPLE = 132;

// Controls of template 102.
inline constexpr int IDC_FRAMES_GROUP = 1000;
inline constexpr int IDC_FRAME_LIST = 1001;
inline constexpr int IDC_PREVIEW = 1002;
inline constexpr int IDC_THUMBNAILS_ONLY = 1003;

// Controls of template 100 without an id of their own.
inline constexpr int IDC_STATIC = -1;
inline constexpr int IDOK = 1;

// Commands.
inline constexpr int ID_REFRESH = 32771;
inline constexpr int ID_DELETE_ONE = 32772;
inline constexpr int ID_SAVE_AS = 32773;
inline constexpr int ID_DELETE_SEVERAL = 32775;
inline constexpr int ID_DELETE_ALL = 32777;

}  // namespace kestrel::stillbox::res
