#pragma once
#include <QString>

// Control, command, bitmap and panel numbers of the main window and the shell's dialogs. They are
// the layout's own identifiers; widgets carry them as object names ("ctl1329") so that tests and
// later pages find a control by its number.
namespace ov {

inline QString ControlName(int id) { return QStringLiteral("ctl%1").arg(id); }

// Main window (template 102): placeholders.
inline constexpr int IDD_MAIN_WINDOW = 102;
inline constexpr int IDC_MORE_LESS = 1329;
inline constexpr int IDC_LOWER_FRAME = 1330;
inline constexpr int IDC_UPPER_FRAME = 1331;
inline constexpr int IDC_CLOSE_X = 1332;
inline constexpr int IDC_SCROLL_LEFT_SLOT = 1340;
inline constexpr int IDC_SCROLL_RIGHT_SLOT = 1341;
inline constexpr int IDC_TAB_SLOT_FIRST = 1342;  // 1342 to 1349
inline constexpr int IDD_TAB_CONTAINER = 147;

// Bar commands: each tab button's command id is its control id.
inline constexpr int IDC_TAB_PROFILE = 1124;
inline constexpr int IDC_TAB_SITESURVEY = 1125;
inline constexpr int IDC_TAB_ADVANCE = 1126;
inline constexpr int IDC_TAB_STATISTICS = 1127;
inline constexpr int IDC_TAB_WMM = 1278;
inline constexpr int IDC_TAB_WPS = 1279;
inline constexpr int IDC_TAB_SSO = 1370;
inline constexpr int IDC_TAB_CCX_CONFIG = 1409;
inline constexpr int IDC_TAB_RADIO = 6248;
inline constexpr int IDC_TAB_FILLER = 6249;
inline constexpr int IDC_TAB_80211N = 6251;
inline constexpr int IDC_TAB_ABOUT = 6252;
inline constexpr int IDC_TAB_HELP = 6253;
inline constexpr int IDC_SCROLL_LEFT = 6256;
inline constexpr int IDC_SCROLL_RIGHT = 6257;

// Bitmaps of the bar and the window's own buttons.
inline constexpr int IDB_TAB_PROFILE = 137;
inline constexpr int IDB_TAB_SITESURVEY = 282;
inline constexpr int IDB_TAB_ADVANCE = 136;
inline constexpr int IDB_TAB_STATISTICS = 141;
inline constexpr int IDB_TAB_WMM = 280;
inline constexpr int IDB_TAB_WPS = 274;
inline constexpr int IDB_TAB_SSO = 305;
inline constexpr int IDB_TAB_CCX_CONFIG = 318;
inline constexpr int IDB_RADIO_ON = 272;
inline constexpr int IDB_RADIO_OFF = 273;
inline constexpr int IDB_TAB_ABOUT = 289;
inline constexpr int IDB_TAB_HELP = 295;
inline constexpr int IDB_TAB_80211N = 281;
inline constexpr int IDB_LESS = 300;
inline constexpr int IDB_MORE = 301;
inline constexpr int IDB_SCROLL_LEFT = 302;
inline constexpr int IDB_SCROLL_RIGHT = 303;
inline constexpr int IDB_CLOSE_X = 306;

// Page templates of the bar's pages.
inline constexpr int IDD_PAGE_PROFILE = 143;
inline constexpr int IDD_PAGE_SITESURVEY = 144;
inline constexpr int IDD_PAGE_ADVANCE = 145;
inline constexpr int IDD_PAGE_STATISTICS = 146;
inline constexpr int IDD_PAGE_WMM = 262;
inline constexpr int IDD_PAGE_WPS = 263;
inline constexpr int IDD_PAGE_SSO = 2300;
inline constexpr int IDD_PAGE_CCX_CONFIG = 3246;
inline constexpr int IDD_PAGE_ABOUT = 136;
inline constexpr int IDD_PAGE_80211N = 3243;

// Lower panels, by the number ShowLowerPanel takes.
inline constexpr int LOWER_PANEL_LINK_STATUS = 0;
inline constexpr int LOWER_PANEL_HIDDEN_SSID = 1;
inline constexpr int LOWER_PANEL_PROFILE_EDITOR = 2;
inline constexpr int LOWER_PANEL_SECURITY_EDITOR = 3;
inline constexpr int LOWER_PANEL_AP_DETAIL = 4;
inline constexpr int LOWER_PANEL_AUTHEN_STATUS = 5;
inline constexpr int LOWER_PANEL_WPS_PROFILE = 6;
inline constexpr int LOWER_PANEL_PEAP_SETTING = 8;
inline constexpr int LOWER_PANEL_ADD_BLOCK_ACK = 9;
inline constexpr int LOWER_PANEL_DELETE_BLOCK_ACK = 10;

// Message box (template 249) and adapter selection (template 163).
inline constexpr int IDD_MESSAGE_BOX = 249;
inline constexpr int IDC_MESSAGE_TEXT = 3216;
inline constexpr int IDI_MESSAGE_BOX = 298;
inline constexpr int IDD_SELECT_CARD = 163;
inline constexpr int IDC_CARD_LIST = 1094;
inline constexpr int IDC_CARD_DESCRIPTION = 1095;
inline constexpr int IDC_CARD_HARDWARE_ID = 1097;
inline constexpr int IDC_CARD_LOCATION = 1098;
inline constexpr int IDC_CARD_MANUFACTURER = 1099;
inline constexpr int IDOK_BUTTON = 1;

// Dialog results of the message box.
inline constexpr int kMessageBoxOk = 1;
inline constexpr int kMessageBoxClosed = 2;

}  // namespace ov
