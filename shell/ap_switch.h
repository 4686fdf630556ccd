#pragma once
#include <string>
#include <string_view>
#include <vector>

// The hand-over of the adapter to the access-point utility (DeZA) through the switch tool
// (OvSwap), and the hand-back when adapter set-up finds the adapter still in access-point mode.
namespace ov {

class CHideDlg;

// The switch tool's arguments: ON|OFF OvUI DeZA "Orvane Wireless" "Orvane Wireless Utility"
// <HardwareId>.
std::vector<std::string> SwitchToolArguments(bool toAccessPoint, std::string_view hardwareId);

// The text shown when the host's wireless service does not run.
inline constexpr char kAutoConfigOffText[] = "Please turn on AutoConfig service";

// Tray command 32773. Radio off: the notice, nothing else. Service stopped: the message and the
// manual, nothing else. Otherwise: the interface's profiles deleted, the monitor closed, the
// station parameters saved into "Default", "ApDefault" loaded, OpMode 1 written and sent, the
// switch tool started with ON.
void SwitchToApMode(CHideDlg& monitor);

// Adapter set-up's step for an adapter left in access-point mode: OpMode 0 written and sent, the
// switch tool started with OFF.
void HandBackFromApMode(CHideDlg& monitor);

}  // namespace ov
