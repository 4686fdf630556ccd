#include "wps/wps_credential_rules.h"

#include <algorithm>
#include <cstdio>

#include "driver/ndis_types.h"
#include "platform/system/hex_text.h"

namespace ov {

std::string WpsAuthTypeText(uint32_t authType) {
  switch (authType) {
    case 1: return "OPEN";
    case 2: return "WPA-PSK";
    case 4: return "SHARED";
    case 8: return "WPA";
    case 16: return "WPA2";
    case 32: return "WPA2-PSK";
    case 34: return "WPA-PSK;WPA2-PSK";
    default: return {};
  }
}

std::string WpsEncryTypeText(uint32_t encryType) {
  switch (encryType) {
    case 1: return "NONE";
    case 2: return "WEP";
    case 4: return "TKIP";
    case 8: return "AES";
    case 12: return "TKIP;AES";
    default: return {};
  }
}

WpsCredentialDetail DescribeWpsCredential(const WpsCredential& c) {
  WpsCredentialDetail d;
  d.ssid = std::string(WpsCredentialSsid(c));
  char mac[24];
  std::snprintf(mac, sizeof mac, "%02X-%02X-%02X-%02X-%02X-%02X", c.MacAddr[0], c.MacAddr[1],
                c.MacAddr[2], c.MacAddr[3], c.MacAddr[4], c.MacAddr[5]);
  d.mac = mac;
  d.auth = WpsAuthTypeText(c.AuthType);
  d.encryption = WpsEncryTypeText(c.EncryType);
  if (c.AuthType == WPS_AUTH_OPEN && c.EncryType == WPS_ENCR_NONE) return d;
  d.key = std::string(WpsCredentialKey(c));
  d.keyLength = std::to_string(d.key.size());
  d.keyIndex = "Key#" + std::to_string((c.KeyIndex & 0x7FFFFFFFu) + 1);
  if (c.EncryType == WPS_ENCR_WEP) {
    d.hexKey = true;
    if (d.key.size() == 5 || d.key.size() == 13) {
      d.keyLength = std::to_string(d.key.size() * 2);
      d.keyHex = HexEncode(std::span(reinterpret_cast<const uint8_t*>(d.key.data()), d.key.size()),
                           HexCase::Lower);
      d.keyAscii = d.key;
    } else {
      d.keyHex = d.key;
      if (const auto bytes = HexDecode(d.key);
          bytes && std::all_of(bytes->begin(), bytes->end(),
                               [](uint8_t b) { return b >= 0x20 && b <= 0x7E; })) {
        d.keyAscii.assign(bytes->begin(), bytes->end());
      }
    }
  }
  return d;
}

bool RemoveWpsCredential(WpsStoreState& state, uint32_t index) {
  WpsCredentialTable& table = state.Table;
  if (index >= table.Count || table.Count > WpsCredentialTable::kMaxCredentials) return false;
  for (uint32_t n = index; n + 1 < table.Count; ++n) table.Credentials[n] = table.Credentials[n + 1];
  table.Credentials[table.Count - 1] = WpsCredential{};
  --table.Count;
  if (table.Count == 0) {
    state.PeerAddress = MacAddress{};
    state.Settings.Channel = 1;
  }
  return true;
}

WpsImportSecurity MapWpsCredentialToSecurity(const WpsCredential& c) {
  WpsImportSecurity s;
  switch (c.AuthType) {
    case 1: s.authChoice = 0; break;
    case 2: s.authChoice = 4; break;
    case 4: s.authChoice = 1; break;
    case 8: s.authChoice = 3; break;
    case 16: s.authChoice = 5; break;
    case 32: s.authChoice = 6; break;
    case 34: s.authChoice = 4; break;
    default: break;
  }
  switch (c.EncryType) {
    case 1: s.cipherChoice = 0; break;
    case 2: s.cipherChoice = 1; break;
    case 4: s.cipherChoice = 2; break;
    case 8: s.cipherChoice = 3; break;
    case 12: s.cipherChoice = 2; break;
    default: break;
  }
  const std::string key(WpsCredentialKey(c));
  if (c.AuthType == 2 || c.AuthType == 32 || c.AuthType == 34) {
    s.preSharedKey = key;
  } else if ((c.AuthType == 1 || c.AuthType == 4) && c.EncryType == WPS_ENCR_WEP &&
             c.KeyIndex <= 3) {
    s.wepKeyIndex = static_cast<int>(c.KeyIndex);
    s.wepKeyHex = c.KeyLength == 10 || c.KeyLength == 26;
    s.wepKey = key;
  }
  return s;
}

}  // namespace ov
