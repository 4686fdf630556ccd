#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "nativewifi/nm/nm_eap_settings.h"

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
  // 802-11-wireless-security.key-mgmt: empty (open), "none" (static WEP), "wpa-psk",
  // "ieee8021x" (dynamic WEP) or "wpa-eap".
  std::string keyMgmt;
  std::string psk;             // 802-11-wireless-security.psk: passphrase or 64 hex digits
  std::string authAlg;         // 802-11-wireless-security.auth-alg with WEP: "open" or "shared"
  std::string wepKey;          // wep-key<wepKeyIndex>, wep-key-type 1 (5/13 text or 10/26 hex)
  uint32_t wepKeyIndex = 0;    // wep-tx-keyidx
  bool oneX = false;           // an 802-1x setting from `eap`
  EapSettings eap;
};

struct TranslateResult {
  uint32_t error = 0;       // ERROR_SUCCESS or ERROR_BAD_PROFILE
  uint32_t reasonCode = 0;  // why a document is refused (WLAN_REASON_CODE_...)
  std::string why;          // the same in English, for the log and ovuictl
  WifiSettings settings;
};

// Translated: open; static WEP (open or shared, key 5/13 characters or 10/26 hex digits, index
// 0..3); WPA/WPA2-PSK (TKIP or AES); WPA/WPA2 with 802.1X and dynamic WEP (the EAP methods of
// nm_eap_settings.h). Refused with the reason the host would give: a document that does not
// parse or lacks its name or SSID (INVALID_PROFILE_SCHEMA, PROFILE_SSID_INVALID), unusable keys
// (PSK_LENGTH, PASSPHRASE_CHAR, KEY_LENGTH, KEYMATERIAL_CHAR, INVALID_KEY_INDEX,
// WRONG_KEYTYPE), WPA without 802.1X or PSK with it (ONEX_DISABLED / ONEX_ENABLED); and, with
// UNSUPPORTED_SECURITY_SET, what has no counterpart: WPA-None (ad hoc WPA), host-protected keys,
// WAPI, IHV authentication and the EAP methods nm_eap_settings.h refuses.
TranslateResult TranslateProfile(const std::string& profileXml);

}  // namespace ov::wlan::nm
