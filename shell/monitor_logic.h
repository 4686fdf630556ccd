#pragma once
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "lang/language_keys.h"
#include "shell/ui/shell_icons.h"

// The monitor's rules that are data in, data out: signal to tray state, the tooltip, which tray
// menu is offered, and how a WPS status word ends the poll.
namespace ov {

// p > 70 good, 41 to 70 normal, 40 or less weak.
TrayState TrayStateForPercent(int32_t percent);

// The tooltip's language key.
LanguageKey TrayTipKey(TrayState state);

// The language text with the SSID put in for its "%s" in one pass, so that a "%" or "&" of the
// SSID is shown as it is; "%%" of the text reads "%". At most 127 bytes (never ending inside a
// UTF-8 sequence).
inline constexpr size_t kTrayTipMaxBytes = 127;
std::string FormatTrayTip(std::string_view text, std::string_view ssid);

// The switch-to-AP entry is offered when both sibling programs are in the program folder, the
// chip family is 4 to 10, an adapter is present and the user is an administrator (menu 148);
// otherwise the menu is 150 without it.
inline constexpr int kTrayMenuWithApSwitch = 148;
inline constexpr int kTrayMenuPlain = 150;
int TrayMenuResource(bool siblingsPresent, int32_t chipFamily, bool adapterPresent, bool isAdmin);

// How a WPS status code (bits 0-27) ends the monitor's poll (timer 6).
enum class WpsPollOutcome {
  Success,          // 15: take the credentials
  StopKeepCheck,    // 0: stop polling, the connection check (timer 4) may go on
  StopAll,          // a failure or timeout: stop polling and the connection check
  KeepPolling,
};
inline constexpr uint32_t kWpsStatusSuccess = 15;
WpsPollOutcome ClassifyWpsStatus(uint32_t code);

}  // namespace ov
