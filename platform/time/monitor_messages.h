#pragma once
#include <cstdint>

// Window message numbers exchanged between the monitor window, the pages and the threads that
// post to them. The numbers are the program's wire values: keep them as they are.
namespace ov {

constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_TIMER = 0x0113;
constexpr uint32_t WM_USER = 0x0400;

// Mouse messages that arrive as lParam of WM_MON_TRAY.
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;

// Posted to the monitor window, mostly from the wireless service's callback thread.
constexpr uint32_t WM_MON_CONNECT_DONE = 0x401;     // wParam 1: connected from a stored profile
constexpr uint32_t WM_MON_ROAMED = 0x402;
constexpr uint32_t WM_MON_IFACE_ARRIVED = 0x403;
constexpr uint32_t WM_MON_SCAN_DONE = 0x404;        // from the scan worker, list rebuilt
constexpr uint32_t WM_MON_DISCONNECTED = 0x405;
constexpr uint32_t WM_MON_SCAN_FAILED = 0x406;
constexpr uint32_t WM_MON_EAP_UI_DONE = 0x407;      // from the EAP dialog worker; wParam 1 enables
constexpr uint32_t WM_MON_RADIO_ON = 0x408;
constexpr uint32_t WM_MON_RADIO_OFF = 0x409;
constexpr uint32_t WM_MON_CONNECT_FAILED = 0x40A;
constexpr uint32_t WM_MON_ATTEMPT_FAILED = 0x40B;
constexpr uint32_t WM_MON_CONNECTING = 0x40C;
// The driver extension's events, forwarded unchanged to the diagnostic page.
constexpr uint32_t WM_MON_IHV_EVENT = 0x40D;        // first of the range
constexpr uint32_t WM_MON_IHV_CHANNEL = 0x40D;      // lParam 1: diagnostic channel connected
constexpr uint32_t WM_MON_IHV_TEST_FINISHED = 0x40E;
constexpr uint32_t WM_MON_IHV_DIAG_EVENT = 0x40F;   // wParam: the extension's event code
constexpr uint32_t WM_MON_IHV_TEST_FAILED = 0x410;
constexpr uint32_t WM_MON_IHV_EVENT_LAST = 0x410;
constexpr uint32_t WM_MON_PROFILE_CHANGED = 0x411;
constexpr uint32_t WM_MON_EAP_CONFIG = 0x412;
constexpr uint32_t WM_MON_TRAY = 0x464;             // tray icon callback; lParam is the mouse message

constexpr bool IsIhvEventMessage(uint32_t message) {
  return message >= WM_MON_IHV_EVENT && message <= WM_MON_IHV_EVENT_LAST;
}

// Tray menu commands (WM_COMMAND wParam); 32771 also arrives from a second start of the program.
constexpr uint32_t IDM_TRAY_LAUNCH = 32771;
constexpr uint32_t IDM_TRAY_EXIT = 32772;
constexpr uint32_t IDM_TRAY_SWITCH_AP_MODE = 32773;

// Tray icon identifier.
constexpr uint32_t TRAY_ICON_ID = 131;

}  // namespace ov
