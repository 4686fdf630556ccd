#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A WLAN profile document as the NetworkManager connection it becomes. Plain data: the D-Bus
// side turns it into the a{sa{sv}} settings.
namespace ov::wlan::nm {

// The connection.id prefix that marks a connection as this utility's own: only such
// connections are listed, changed or deleted; the user's others are never touched.
inline constexpr const char* kOwnConnectionPrefix = "OvUI: ";

struct WifiSettings {
  std::string profileName;     // connection.id is kOwnConnectionPrefix + this
  std::vector<uint8_t> ssid;   // 802-11-wireless.ssid
  bool hidden = false;         // 802-11-wireless.hidden (nonBroadcast)
  bool adhoc = false;          // 802-11-wireless.mode "adhoc" (else "infrastructure")
  bool autoconnect = false;    // connection.autoconnect (connectionMode auto)
  std::string keyMgmt;         // 802-11-wireless-security.key-mgmt: empty (open) or "wpa-psk"
  std::string psk;             // 802-11-wireless-security.psk: passphrase or 64 hex digits
};

struct TranslateResult {
  uint32_t error = 0;       // ERROR_SUCCESS or ERROR_BAD_PROFILE
  uint32_t reasonCode = 0;  // why a document is refused (WLAN_REASON_CODE_...)
  WifiSettings settings;
};

// Open (no encryption) and WPA/WPA2-PSK (TKIP or AES) documents translate; anything else has no
// counterpart in this backend yet and is refused: WEP, 802.1X, WPA-None and IHV
// authentication give UNSUPPORTED_SECURITY_SET, a document that does not parse or lacks its
// name or SSID gives INVALID_PROFILE_SCHEMA / PROFILE_SSID_INVALID, a WPA-PSK document without
// a usable key PSK_LENGTH or PASSPHRASE_CHAR.
TranslateResult TranslateProfile(const std::string& profileXml);

}  // namespace ov::wlan::nm
