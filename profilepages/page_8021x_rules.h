#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lang/language_keys.h"
#include "profilepages/profile_editor_rules.h"

// The 802.1X page as plain rules: what each EAP and inner method does to the inner-method button,
// the sub-tabs and the credential edits, and the checks of Validate.
namespace ov {

enum class EapSubTab { Credentials, EapFast, ClientCert, ServerCert, SingleSignOn };

enum class InnerMenu { None, Peap, Ttls };

// Which credential edits (each with its label) are usable, and whether the password-mode radios show.
struct CredentialEnabling {
  bool identity = false;
  bool password = false;
  bool tunnelId = false;
  bool tunnelPassword = false;
  bool domain = false;
  bool passwordModes = false;
  bool operator==(const CredentialEnabling&) const = default;
};

struct EapArrangement {
  bool innerVisible = true;
  bool innerEnabled = false;
  InnerMenu innerMenu = InnerMenu::None;  // None: the button shows an empty caption
  CredentialEnabling credentials;
  bool clientCertForced = false;          // "Use Client certification" set and its box disabled
  std::vector<EapSubTab> tabs;            // in slot order
  EapSubTab selected = EapSubTab::Credentials;
};

// The TTLS inner methods in menu order are stored as "TunnelProtocol" 1..5.
inline constexpr uint32_t kTtlsInnerChap = 1;
inline constexpr uint32_t kTtlsInnerCount = 5;

// The fields of Add: PEAP with EAP-MSCHAP v2, everything else at its default.
EapFields ResetEapFields();

// The method handlers: the method's own defaults (PEAP: EAP-MSCHAP v2; TTLS: CHAP; TLS forces the
// client certificate on). Codes outside the six methods are ignored.
void ChooseEapMethod(EapFields& fields, uint32_t method);
// The PEAP inner menu (EAP types 26, 13, 6) or, for TTLS, the TTLS menu index 0..4.
void ChoosePeapInner(EapFields& fields, uint32_t innerEapType);
void ChooseTtlsInner(EapFields& fields, uint32_t menuIndex);

// How the page shows the fields; eapFastEnhancement is "Advance"/"EAPFastEnhancement" = "1".
EapArrangement ArrangeEapPage(const EapFields& fields, bool eapFastEnhancement);

// The domain rule: a "." somewhere other than the first or last character.
bool IsServerDomainName(const std::string& name);

inline constexpr const char* kInvalidServerDomainText =
    "8021X - Server Identity has Invalid domain name!";

// A refusal of Validate: a language key, or (for the domain rule) the fixed text.
struct EapRefusal {
  std::optional<LanguageKey> key;
  std::string text;
  bool operator==(const EapRefusal&) const = default;
};

// Only PEAP and LEAP are checked; every other method passes.
std::optional<EapRefusal> ValidateEapPage(const EapFields& fields);

}  // namespace ov
