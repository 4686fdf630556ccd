#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lang/language_keys.h"
#include "nativewifi/station_profile.h"
#include "profilepages/page_auth_encry_rules.h"
#include "profilepages/page_sys_config_rules.h"

// The profile editor as plain rules: the fields of its four tabs, how OK refuses (the order, the
// message, the tab that comes forward), the section SaveProfile writes in its key order, and what
// LoadProfile makes of a stored section.
namespace ov {

// The 802.1X tab's fields (also the single sign-on sub-page's three flags).
struct EapFields {
  uint32_t authenProtocol = 0;
  uint32_t tunnelProtocol = kInnerMsChapV2;      // the PEAP / EAP-FAST inner EAP type
  uint32_t provisioningTunnel = kInnerMsChapV2;
  uint32_t ttlsInnerMethod = 3;
  std::string identity;
  std::string password;
  std::string domainName;
  std::string tunnelId;
  std::string tunnelPassword;
  uint32_t sessionResumption = 0;
  uint32_t passwordMode = 1;
  uint32_t useClientCert = 0;
  uint32_t useSmartCard = 0;
  uint32_t useServerCert = 0;
  uint32_t usePac = 0;
  uint32_t provisionMode = 1;
  std::string pacFilePath;
  std::vector<uint8_t> clientCert;  // certificate hashes
  std::vector<uint8_t> serverCert;
  std::string serverName;
  uint32_t nameRule = 0;
  uint32_t intermediateCert = 0;
  uint32_t ssoFlags = 0;            // "SSOInfoInProf" bits 0..2
  bool operator==(const EapFields&) const = default;
};

// The WAPI tab's fields.
struct WapiFields {
  std::string userCertPath;
  std::string asCertPath;
  bool operator==(const WapiFields&) const = default;
};

struct EditorFields {
  SysConfigFields sys;
  AuthEncryState security;
  EapFields eap;
  WapiFields wapi;
  bool operator==(const EditorFields&) const = default;
};

// Where a refusal sends the user.
enum class EditorTarget {
  SysConfigTab,
  SecurityTab,
  Eap8021XTab,
  WapiUserCert,   // the WAPI tab, its user-certificate sub-tab
  WapiAsCert,     // the WAPI tab, its AS-certificate sub-tab
  AdvancedPage,   // the main window's Advanced tab
};

struct EditorRefusal {
  LanguageKey message;
  EditorTarget target;
  bool operator==(const EditorRefusal&) const = default;
};

// What the checks read besides the tabs.
struct EditorCheckContext {
  bool isNewProfile = true;
  std::string originalName;  // the name Edit opened (Edit only)
  std::function<bool(std::string_view)> nameExists;
  // The certificate manager's checks; empty when it does not offer them (the check is skipped).
  std::function<bool(const std::string&)> checkUserCert;
  std::function<bool(const std::string&)> checkAsCert;
};

// The refusals of OK that come before the 802.1X and security checks, in their order: profile
// name, WAPI certificates present, SSID, duplicate name, WAPI certificates valid, ad hoc channel.
// Edit under another name is a new name: it must not take a stored profile's place.
std::optional<EditorRefusal> FirstEditorRefusal(const EditorFields& fields,
                                                const EditorCheckContext& context);

// Ad hoc accepts Open with None or WEP, and WPA2-PSK with AES; infrastructure accepts all.
bool IsAdhocSecurityRejected(int networkType, AuthChoice auth, CipherChoice cipher);
// OK refuses such a profile rather than storing it as open (the language table has no text
// for it).
inline constexpr char kAdhocSecurityRefusedText[] =
    "This authentication and encryption cannot be used in an ad hoc network. Choose Open (None "
    "or WEP) or WPA2-PSK with AES.";

// The 802.1X tab is in use: Open/Shared with the check box, or an enterprise choice on an
// infrastructure profile.
bool Uses8021XTab(const EditorFields& fields);
// The EAP configuration worker is started after saving (EAP-FAST through the 802.1X tab).
bool NeedsEapSetup(const EditorFields& fields);

// LEAP on an infrastructure profile: identity, password and domain trimmed of blanks; false when
// the identity or password is empty.
bool TrimLeapCredentials(AuthEncryState& security);

// The stored text of a WEP key: a hexadecimal key as typed; an ASCII key as two lower-case hex
// digits per character (only its own characters); an empty key as "".
std::string StoredWepKeyText(const std::string& key, bool hex);
// The page text of a stored key: hexadecimal as stored; ASCII turned back into characters when
// the text is 10 or 26 hexadecimal digits, else empty.
std::string LoadedWepKeyText(const std::string& stored, bool hex);
// The key's bytes for a connection record (hexadecimal: two digits a byte; ASCII: the
// characters); nothing for an empty key.
std::optional<std::vector<uint8_t>> WepKeyBytes(const std::string& key, bool hex);

using StoreValues = std::vector<std::pair<std::string, std::string>>;

// SaveProfile's writes after the clear, in their order. The 802.1X fields are the tab's when it
// is in use (and WpaReady), the reset working profile's otherwise.
StoreValues SaveProfileValues(const EditorFields& fields, bool wpaReady);

// LoadProfile: a section read through `read` (empty for a missing key) into the tabs' fields.
EditorFields LoadProfileFields(const std::function<std::string(std::string_view)>& read);

// The security editor's connection record: the security fields, the 802.1X fields when in use,
// the WEP keys as bytes with the selected one as transmit key.
void FillConnectionSecurity(const EditorFields& fields, bool wpaReady, StationProfile& record);

}  // namespace ov
