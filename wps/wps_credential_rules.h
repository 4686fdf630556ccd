#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "driver/oid/wps_records.h"
#include "wps/wps_store.h"

// What the WPS profile list does with one credential: its detail texts, its removal, and the
// security choices a station profile imported from it gets.
namespace ov {

// "OPEN", "WPA-PSK", ...; empty for other types.
std::string WpsAuthTypeText(uint32_t authType);
// "NONE", "WEP", ...; empty for other types.
std::string WpsEncryTypeText(uint32_t encryType);

// The texts of the credential panel.
struct WpsCredentialDetail {
  std::string ssid;
  std::string mac;  // "%02X-%02X-%02X-%02X-%02X-%02X"
  std::string auth;
  std::string encryption;
  std::string keyLength;  // empty for Open/None
  std::string keyIndex;   // "Key#%d"; empty for Open/None
  std::string key;        // the key text as stored
  std::string keyHex;     // WEP: the key as hexadecimal digits (ASCII keys converted)
  // WEP: the key as characters (a hexadecimal key decoded); empty when a hexadecimal key has a
  // non-digit or decodes to a byte that is not printable ASCII, so no garbage is shown.
  std::string keyAscii;
  bool hexKey = false;    // WEP keys are shown in hexadecimal form
};
WpsCredentialDetail DescribeWpsCredential(const WpsCredential& credential);

// Removes credential `index` (the ones after it move up, the freed slot is zeroed); an empty
// table also forgets the peer address and resets the channel to 1. False for no such index.
bool RemoveWpsCredential(WpsStoreState& state, uint32_t index);

// The profile editor's security choices for a credential (AuthChoice/CipherChoice codes; none
// keeps the editor's reset value) and the key they carry.
struct WpsImportSecurity {
  std::optional<int> authChoice;
  std::optional<int> cipherChoice;
  std::optional<std::string> preSharedKey;
  std::optional<int> wepKeyIndex;  // 0..3 when a WEP key is set
  bool wepKeyHex = false;
  std::string wepKey;
};
WpsImportSecurity MapWpsCredentialToSecurity(const WpsCredential& credential);

}  // namespace ov
