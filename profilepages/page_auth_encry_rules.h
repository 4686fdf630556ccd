#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lang/language_keys.h"

// The authentication and security page as plain rules: the editor-level choices and their stored
// codes, which menu items each state allows, how a choice corrects the rest of the page, the
// 802.1X check box and the WEP key controls, and the key checks of Validate. The page (both its
// hosts) reads its controls into an AuthEncryState, calls these, and shows the state again.
namespace ov {

enum class AuthChoice : int {
  Open = 0,
  Shared = 1,
  Leap = 2,
  Wpa = 3,
  WpaPsk = 4,
  Wpa2 = 5,
  Wpa2Psk = 6,
  WpaNone = 7,
  WapiPsk = 8,
  WapiCa = 9,
  Cckm = 10,
  Ccx = 11,
};
inline constexpr int kAuthChoiceCount = 12;

enum class CipherChoice : int {
  None = 0,
  Wep = 1,
  Tkip = 2,
  Aes = 3,
  Sms4 = 4,
  TkipMfp = 5,
  AesMfp = 6,
};
inline constexpr int kCipherChoiceCount = 7;

// The stored "AuthMode" of a choice (LEAP stores Open, with "LeapEnabled" 1).
int32_t StoredAuthMode(AuthChoice choice);
// The choice a stored "AuthMode" loads as; nothing for a value of no choice (the page then keeps
// Open). 2 (auto switch) is no choice either.
std::optional<AuthChoice> AuthChoiceFromStored(int32_t authMode);
int32_t StoredCipherMode(CipherChoice choice);
std::optional<CipherChoice> CipherChoiceFromStored(int32_t cipherMode);

// The choices after which the pre-shared key is the secret ("WPAPSK" is stored for 3..8).
bool UsesPreSharedKey(AuthChoice choice);  // WPA-PSK, WPA2-PSK, WPA-None, WAPI-PSK
// WPA, WPA2, CCKM, CCX: authentication through 802.1X.
bool UsesEnterpriseAuthentication(AuthChoice choice);

// EAP method codes the page looks at ("AuthenProtocol").
inline constexpr uint32_t kEapMethodPeap = 0;
inline constexpr uint32_t kEapMethodMd5 = 4;

inline constexpr size_t kWepHexKeyMaxLength = 26;
inline constexpr size_t kWepAsciiKeyMaxLength = 13;
inline constexpr size_t kPreSharedKeyMaxLength = 64;

// Everything the page shows, and the control states its rules decide.
struct AuthEncryState {
  AuthChoice auth = AuthChoice::Open;
  CipherChoice cipher = CipherChoice::None;
  bool use8021X = false;        // the check box's mark ("Use8021X")
  bool use8021XShown = false;   // the check box is visible and usable
  int keyIndex = 0;             // "WEPKeyUse" - 1
  std::array<int, 4> keyHex{1, 1, 1, 1};  // "WEPKeyNType": 1 hexadecimal, 0 ASCII
  std::array<std::string, 4> keys;
  std::string psk;              // "WPAPSK"
  int wapiKeyHex = 0;           // "WAPIPSK_KEYTYPE"
  bool showPassword = false;    // never stored
  bool leap = false;            // "LeapEnabled": the LEAP layout
  std::string leapUserName;
  std::string leapPassword;
  std::string leapDomainName;
  int leapEncryption = 0;       // "LeapEncryType": 0 WEP, 1 WPA-TKIP, 2 WPA2-AES
  bool infrastructure = true;   // from the system-config page
  bool hostedByEditor = true;   // false in the connection security editor

  bool keysEnabled = false;     // the WEP key radios, labels, format buttons and edits
  bool pskEnabled = false;
  bool wapiKeyTypeShown = false;
  // The host's neighbouring tab buttons, driven by the choices.
  bool tab8021XEnabled = false;
  bool tabWapiEnabled = false;

  bool operator==(const AuthEncryState&) const = default;
};

// What the rules read besides the page.
struct SecurityContext {
  bool wpaReady = true;          // WpaReady
  bool wapiSupported = false;    // WapiSupported
  bool adhocWpa2Psk = false;     // the service lists RSNA-PSK with CCMP among the ad hoc pairs
  int32_t osVersionCode = 11;    // OsVersionCode
};

// The authentication menu items the state allows (indexed by AuthChoice), before it opens.
std::array<bool, kAuthChoiceCount> AuthMenuEnabled(const AuthEncryState& state,
                                                   const SecurityContext& context);
// The encryption menu items (indexed by CipherChoice).
std::array<bool, kCipherChoiceCount> CipherMenuEnabled(const AuthEncryState& state);

// The reset state (Add, and the start of every preset), with Open and None applied.
AuthEncryState ResetAuthEncry(bool hostedByEditor);

// An authentication choice and what it corrects. `eapMethod` is the 802.1X page's method: the
// enterprise choices turn MD5-Challenge into PEAP there.
void ApplyAuthChoice(AuthEncryState& state, AuthChoice choice, uint32_t& eapMethod);
void ApplyCipherChoice(AuthEncryState& state, CipherChoice choice);
// The 802.1X check box clicked.
void Click8021X(AuthEncryState& state, bool checked);
// The WEP key radio moved.
void SelectKey(AuthEncryState& state, int index);
// After loading: the loaded choices re-applied (corrections included), the loaded 802.1X mark
// restored, show-password cleared.
void ReapplyLoadedChoices(AuthEncryState& state, uint32_t& eapMethod);
// The network type of the system-config page changed (or the page is shown): ad hoc clears and
// hides the 802.1X check box.
void SetInfrastructure(AuthEncryState& state, bool infrastructure);

// A surveyed network as the preset needs it.
struct SurveyedSecurity {
  bool infrastructure = true;
  bool privacy = false;
  int securityClass = 0;    // the survey's security class of the entry's auth text
  std::string cipherText;   // the cipher part of the entry's security summary
};
// The preset of Add to Profile (`requirePrivacy`) and of the survey's connect path (without the
// privacy test).
AuthEncryState PresetFromSurvey(const SurveyedSecurity& network, const SecurityContext& context,
                                bool hostedByEditor, bool requirePrivacy, uint32_t& eapMethod);

// Which field a failed check points at.
enum class SecurityField { None, Key1, Key2, Key3, Key4, PreSharedKey };

struct SecurityCheck {
  bool ok = true;
  SecurityField field = SecurityField::None;
  std::string note;             // a WEP key's note (fixed English)
  std::optional<LanguageKey> messageKey;  // a pre-shared key's note
  size_t keyLimit = 0;          // a failing WEP key's edit limit, 0 otherwise
  bool bringSecurityTabForward = false;
};

// Validate: re-decides the WEP key controls (into `state`) and checks the secret of the choice.
SecurityCheck ValidateAuthEncry(AuthEncryState& state, uint32_t eapMethod);

// Steps of the check, each on its own.
bool WepKeyLengthValid(const std::string& key, bool hex);
std::optional<LanguageKey> PreSharedKeyProblem(AuthChoice choice, const std::string& key,
                                               bool wapiHex);
bool IsHexText(std::string_view text);

}  // namespace ov
