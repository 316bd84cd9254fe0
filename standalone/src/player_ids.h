#pragma once

// Command, control and resource ids of the standalone player, shared by its menu, accelerators,
// toolbar and string table.

inline constexpr int IDD_PLAYER_DIALOG = 102;
inline constexpr int IDR_MAIN_MENU = 145;
inline constexpr int IDR_ACCELERATORS = 128;
inline constexpr int IDI_PLAYER_ICON = 128;
inline constexpr int IDR_TOOLBAR = 134;
inline constexpr int IDB_TOOLBAR_IMAGES = 144;
inline constexpr int IDD_EXTRACT_PROGRESS = 146;
inline constexpr int IDD_ABOUT = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDM_ABOUTBOX = 16;

inline constexpr int IDC_EXTRACT_PROGRESS = 1001;
inline constexpr int IDC_POSITION_SLIDER = 1003;
inline constexpr int IDC_FLASH = 10415;
inline constexpr int IDC_TOOLBAR = 0xE800;
inline constexpr int IDT_FRAME_POLL = 32930;

inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE_AS = 57603;
inline constexpr int ID_REEXTRACT = 32771;
inline constexpr int ID_OPEN_IN_FULL_PLAYER = 32770;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_PLAY = 32773;
inline constexpr int ID_PAUSE = 32772;
inline constexpr int ID_STOP = 32774;
inline constexpr int ID_MUTE = 32800;
inline constexpr int ID_VOLUME_20 = 32820;
inline constexpr int ID_VOLUME_50 = 32850;
inline constexpr int ID_VOLUME_80 = 32880;
inline constexpr int ID_VOLUME_100 = 32900;
inline constexpr int ID_SCALE_ZOOM = 32901;
inline constexpr int ID_SCALE_ORIGINAL = 32902;
inline constexpr int ID_SCALE_FILL = 32903;
inline constexpr int ID_VIEW_CACHE = 32911;
inline constexpr int ID_CLEAR_CACHE = 32912;
inline constexpr int ID_QUALITY_HIGH = 32915;
inline constexpr int ID_QUALITY_MEDIUM = 32916;
inline constexpr int ID_QUALITY_LOW = 32917;
inline constexpr int ID_CHECK_UPDATE = 32920;
inline constexpr int ID_HOME_PAGE = 32921;
inline constexpr int ID_SOURCE_CODE = 32922;
inline constexpr int ID_APP_ABOUT = 32923;

// wxWidgets takes menu, tool and window ids below 32767 only; the ids from 32767 on go to it
// lowered by a fixed offset, clear of the other ids here and of wxWidgets' own range.
inline constexpr int kWxIdOffset = 30000;
constexpr int WxId(int id) {
    return id >= 32767 ? id - kWxIdOffset : id;
}
constexpr int CommandOf(int wxId) {
    return wxId >= 32767 - kWxIdOffset && wxId < 32767 ? wxId + kWxIdOffset : wxId;
}
