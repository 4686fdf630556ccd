#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The simulated service's reading of WLAN profile documents and EAP user-credentials
// documents: what it checks before storing a profile and what it matches against an access
// point when connecting. Elements are found by their local names, so any prefix binding of the
// published namespaces reads the same.
namespace ov::sim {

struct ProfileDocument {
  std::string name;
  std::vector<uint8_t> ssid;  // of the first SSID element (hex wins over name)
  bool nonBroadcast = false;
  bool adhoc = false;       // connectionType IBSS
  bool manual = false;      // connectionMode manual
  bool hasMsmSecurity = false;
  std::string authentication;  // as written: open, shared, WPA, WPAPSK, WPA2, WPA2PSK
  std::string encryption;      // none, WEP, TKIP, AES
  bool useOneX = false;
  bool hasSharedKey = false;
  std::string keyType;  // networkKey or passPhrase
  bool keyProtected = false;
  std::string keyMaterial;
  uint32_t keyIndex = 0;
  std::optional<uint32_t> eapType;  // of the OneX EAP configuration
  // Credentials a CCX-schema EAP configuration carries itself (LEAP, GTC: passwordFromProfile).
  std::string configIdentity;
  std::string configPassword;
  // What the EAP configuration says of its method beyond the type.
  uint32_t eapAuthor = 0;                   // 0: the host's own methods, 9: the CCX schema
  std::optional<uint32_t> peapInnerType;    // PEAP (host schema): the inner method's type
  std::string ccxInnerMethod;               // CCX PEAP: the method under authMethods, "eapGtc"
  std::string passwordSource;               // CCX: passwordFromProfile, ...Logon, ...User, ...OtherToken
  bool ccxFast = false;                     // the configuration is the CCX eapFast element
  std::string outerIdentity;                // CCX: unprotectedIdentityPattern
  bool allowUnauthenticatedProvisioning = false;  // EAP-FAST
  std::string pacFile;                            // EAP-FAST
  // The IHV part.
  bool hasIhv = false;
  bool ownProfile = false;   // connectivity/CCX/OrvaneProfile
  bool diagnostics = false;  // connectivity/CCX/Diagnostics
  bool ihvCckm = false;      // security/CCX/authenticatingNetwork/cckm
  bool ihvWapi = false;      // security/IhvSecurity
  std::string wapiMode;      // IHVSecurityParam1: "2" preshared key, "1" certificate
  std::string wapiKey;       // IHVSecurityParam3: the base key, hexadecimal
  std::string wapiKeyCheck;  // IHVSecurityParam4: its check value, hexadecimal
};

// Checks a profile document as the host service does before storing it. On refusal returns
// false with the host's reason code (WLAN_REASON_CODE_... of wlan_types.h) in *reasonCode.
bool ParseProfileDocument(const std::string& xml, ProfileDocument* profile, uint32_t* reasonCode);

// An EapHostUserCredentials document: the method and the account it names.
struct UserCredentials {
  uint32_t eapType = 0;   // outer method: 25 PEAP, 13 TLS
  std::string identity;   // the routing (outer) identity, when given
  std::string username;   // the inner method's user name (MS-CHAP v2 or TLS)
  std::string password;   // MS-CHAP v2
  std::string userCert;   // TLS: the certificate hash in hexadecimal, lower case
};
bool ParseUserCredentials(const std::string& xml, UserCredentials* credentials);

}  // namespace ov::sim
