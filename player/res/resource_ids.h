#pragma once

// The ToviFlash id space: command ids shared by the ribbon, menus, accelerators and string
// resources, plus the ids of strings, bitmaps, menus, dialogs and status panes. Values are
// fixed (the list-item arithmetic and stored files depend on them). Ids of 32767 and above
// are command ids only; wxWidgets refuses them as window ids (see ribbon drawing).

// Application strings and templates.
inline constexpr int IDS_OLE_INIT_FAILED = 100;
inline constexpr int IDR_MAINFRAME = 128;  // document template, accelerator table
inline constexpr int IDS_APP_TITLE = 57344;
inline constexpr int IDS_CONTEXT_MENU_NAME = 306;

// Ribbon strings.
inline constexpr int IDS_CATEGORY_NOW_PLAYING = 101;
inline constexpr int IDS_PANEL_VOLUME = 102;
inline constexpr int IDS_OPEN_FILTER = 104;
inline constexpr int IDS_NO_PROGRAM_INFO = 105;  // "节目: << 暂无信息 >>"
inline constexpr int IDS_NO_PATH_INFO = 106;     // "路径: << 暂无信息 >>"
inline constexpr int IDS_NO_RECORD = 107;        // "<< 暂无记录 >>"
inline constexpr int IDS_MAIN_CATEGORY = 260;    // "开始"
inline constexpr int IDS_OPEN = 263;
inline constexpr int IDS_SAVE_AS = 265;
inline constexpr int IDS_EXIT = 273;
inline constexpr int IDS_STYLE_BUTTON_TOOLTIP = 287;
inline constexpr int IDS_STYLE_BUTTON_DESCRIPTION = 288;

// Image strips.
inline constexpr int IDB_APP_BUTTON = 112;      // 27 x 27, one image
inline constexpr int IDB_NOW_PLAYING_16 = 311;  // 16 x 16, 17 images
inline constexpr int IDB_NOW_PLAYING_32 = 312;  // 32 x 32, 17 images
inline constexpr int IDB_RIBBON_32 = 315;       // 32 x 32, 32 images
inline constexpr int IDB_RIBBON_16 = 316;       // 16 x 16, 32 images

// Menus and dialogs.
inline constexpr int IDR_CONTEXT_MENU = 119;
inline constexpr int IDR_STYLE_MENU = 200;
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDC_ABOUT_LINK = 1000;
inline constexpr int IDD_MAKEEXE_STATU = 320;
inline constexpr int IDC_MAKEEXE_PROGRESS = 1001;
inline constexpr int IDC_MAKEEXE_TEXT = 1002;

// Status bar panes.
inline constexpr int ID_STATUSBAR_PANE1 = 120;  // playing state
inline constexpr int ID_STATUSBAR_PANE2 = 121;  // "Tovi软件"

// Visual styles (menu 200 and the "播放器外观" panel).
inline constexpr int ID_STYLE_WINDOWS_2000 = 210;
inline constexpr int ID_STYLE_OFFICE_XP = 211;
inline constexpr int ID_STYLE_WINDOWS_XP = 212;
inline constexpr int ID_STYLE_OFFICE_2003 = 213;
inline constexpr int ID_STYLE_VS_2005 = 214;
inline constexpr int ID_STYLE_OFFICE_2007_BLUE = 215;
inline constexpr int ID_STYLE_OFFICE_2007_BLACK = 216;
inline constexpr int ID_STYLE_OFFICE_2007_SILVER = 217;
inline constexpr int ID_STYLE_OFFICE_2007_AQUA = 218;
inline constexpr int ID_STYLE_FIRST = ID_STYLE_WINDOWS_2000;
inline constexpr int ID_STYLE_LAST = ID_STYLE_OFFICE_2007_AQUA;
inline constexpr int ID_STYLE_DEFAULT = ID_STYLE_OFFICE_2007_BLACK;

// Playback commands of the view.
inline constexpr int ID_VOLUME = 32775;
inline constexpr int ID_MUTE = 32776;
inline constexpr int ID_PLAY = 32777;
inline constexpr int ID_STOP = 32778;
inline constexpr int ID_PREVIOUS = 32779;
inline constexpr int ID_NEXT = 32780;
inline constexpr int ID_BEST_SIZE = 32781;
inline constexpr int ID_ADD_TO_PLAYLIST = 32782;
inline constexpr int ID_ADD_ALL_TO_PLAYLIST = 32783;
inline constexpr int ID_ADD_TO_TAIL = 32784;
inline constexpr int ID_ADD_TO_HEAD = 32785;
inline constexpr int ID_FULL_SCREEN = 32786;
inline constexpr int ID_LIST_SOURCE = 32787;
inline constexpr int ID_MAKE_EXE = 32788;
inline constexpr int ID_SAVE_AS = 32789;
inline constexpr int ID_DRAG_NEVER = 32790;
inline constexpr int ID_DRAG_ALWAYS = 32791;
inline constexpr int ID_DRAG_AUTO = 32792;
inline constexpr int ID_PROGRESS = 32793;
inline constexpr int ID_FLASH_MENU = 32825;

// Scale modes: command id - ID_SCALE_FIRST is the mode value.
inline constexpr int ID_SCALE_SHOW_ALL = 32833;     // 0
inline constexpr int ID_SCALE_NO_BORDER = 32834;    // 1
inline constexpr int ID_SCALE_EXACT_FIT = 32835;    // 2
inline constexpr int ID_SCALE_NO_SCALE = 32836;     // 3
inline constexpr int ID_SCALE_LOW = 32837;          // 4
inline constexpr int ID_SCALE_AUTO_LOW = 32838;     // 5
inline constexpr int ID_SCALE_AUTO_HIGH = 32839;    // 6
inline constexpr int ID_SCALE_HIGH = 32840;         // 7
inline constexpr int ID_SCALE_BEST = 32841;         // 8
inline constexpr int ID_SCALE_AUTO_MEDIUM = 32842;  // 9
inline constexpr int ID_SCALE_MEDIUM = 32843;       // 10
inline constexpr int ID_SCALE_FIRST = ID_SCALE_SHOW_ALL;
inline constexpr int ID_SCALE_LAST = ID_SCALE_MEDIUM;

// List options: extended menus (toggle items in the list menus, check boxes in the ribbon),
// large icons, capacities, information and clearing.
inline constexpr int ID_HISTORY_EXTMENU_ITEM = 32844;
inline constexpr int ID_RELATED_EXTMENU_ITEM = 32845;
inline constexpr int ID_PLAYLIST_EXTMENU_ITEM = 32846;
inline constexpr int ID_HISTORY_EXTMENU = 32847;
inline constexpr int ID_RELATED_EXTMENU = 32848;
inline constexpr int ID_PLAYLIST_EXTMENU = 32849;
inline constexpr int ID_HISTORY_LARGE_ICONS = 32874;
inline constexpr int ID_RELATED_LARGE_ICONS = 32875;
inline constexpr int ID_PLAYLIST_LARGE_ICONS = 32876;
inline constexpr int ID_HISTORY_CAPACITY = 32862;
inline constexpr int ID_RELATED_CAPACITY = 32863;
inline constexpr int ID_PLAYLIST_CAPACITY = 32864;
inline constexpr int ID_CLEAR_HISTORY = 32871;
inline constexpr int ID_CLEAR_RELATED = 32872;
inline constexpr int ID_CLEAR_PLAYLIST = 32873;
inline constexpr int ID_HISTORY_INFO = 32877;
inline constexpr int ID_RELATED_INFO = 32878;
inline constexpr int ID_PLAYLIST_INFO = 32879;

// Play modes: command id - ID_PLAYMODE_FIRST is the PlayMode value.
inline constexpr int ID_PLAYMODE_AUTO = 32858;
inline constexpr int ID_PLAYMODE_LOOP_ONE = 32859;
inline constexpr int ID_PLAYMODE_ONCE = 32860;
inline constexpr int ID_PLAYMODE_LOOP_LIST = 32861;
inline constexpr int ID_PLAYMODE_FIRST = ID_PLAYMODE_AUTO;
inline constexpr int ID_PLAYMODE_LAST = ID_PLAYMODE_LOOP_LIST;

// Document commands.
inline constexpr int ID_OPEN = 32851;
inline constexpr int ID_OPEN_LOCAL = 32817;
inline constexpr int ID_OPEN_NETWORK = 32819;
inline constexpr int ID_OPEN_EDIT = 32821;

// Application-menu carriers of the list menus; their ids have no handler.
inline constexpr int ID_PLAYLIST_BUTTON = -32851;
inline constexpr int ID_MORE_BUTTON = -32850;

// View commands.
inline constexpr int ID_RIBBON_DISABLE = 32889;
inline constexpr int ID_RIBBON_TOGGLE = 32890;
inline constexpr int ID_QUALITY_HIGH = 32902;
inline constexpr int ID_QUALITY_MEDIUM = 32903;
inline constexpr int ID_QUALITY_LOW = 32904;
inline constexpr int ID_REFRESH_LIST = 32948;
inline constexpr int ID_SOURCE_TERMS = 32963;

// Buttons at the right of the tabs.
inline constexpr int ID_STYLE_BUTTON = -7000;

// Standard commands.
inline constexpr int ID_FILE_PRINT_SETUP = 57606;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;

// List-item ranges: an entry at 0-based position k has first id + k.
inline constexpr int ID_HISTORY_OPEN_FIRST = 40001;
inline constexpr int ID_HISTORY_OPEN_LAST = 40400;
inline constexpr int ID_HISTORY_REMOVE_FIRST = 40401;
inline constexpr int ID_HISTORY_REMOVE_LAST = 40800;
inline constexpr int ID_HISTORY_ADD_FIRST = 40801;
inline constexpr int ID_HISTORY_ADD_LAST = 41200;
inline constexpr int ID_HISTORY_PLAY_FIRST = 41201;
inline constexpr int ID_HISTORY_PLAY_LAST = 41600;
inline constexpr int ID_RELATED_OPEN_FIRST = 50001;
inline constexpr int ID_RELATED_OPEN_LAST = 50100;
inline constexpr int ID_RELATED_REMOVE_FIRST = 50101;
inline constexpr int ID_RELATED_REMOVE_LAST = 50200;
inline constexpr int ID_RELATED_ADD_FIRST = 50201;
inline constexpr int ID_RELATED_ADD_LAST = 50300;
inline constexpr int ID_RELATED_PLAY_FIRST = 50301;
inline constexpr int ID_RELATED_PLAY_LAST = 50400;
inline constexpr int ID_PLAYLIST_OPEN_FIRST = 60001;
inline constexpr int ID_PLAYLIST_OPEN_LAST = 60500;
inline constexpr int ID_PLAYLIST_REMOVE_FIRST = 60501;
inline constexpr int ID_PLAYLIST_REMOVE_LAST = 61000;
inline constexpr int ID_PLAYLIST_PLAY_FIRST = 61001;
inline constexpr int ID_PLAYLIST_PLAY_LAST = 62000;
inline constexpr int ID_NAVIGATION_FIRST = 62001;  // previous/next menu entries
inline constexpr int ID_NAVIGATION_LAST = 62500;

// The view's end-of-movie timer.
inline constexpr int ID_END_TIMER = 123321;
