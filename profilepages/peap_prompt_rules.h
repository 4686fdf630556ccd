#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The credential prompt (CPeapSettingDlg, lower panel 8) as plain rules: which of its three forms
// a request gets, what OK refuses, and when applying a stored PEAP profile asks for it.
namespace ov {

// What the caller asks: the identity to show, and three conditions.
struct PeapPromptRequest {
  std::string identity;            // pre-filled (not in the new-user-name form)
  bool newUserName = false;        // the profile wants a new user name and password
  bool passwordOnly = false;       // only the password is asked; the identity stays as it is
  bool passwordNotNeeded = false;  // the password field is disabled and not required
  bool operator==(const PeapPromptRequest&) const = default;
};

// What the user answered.
struct PeapPromptAnswer {
  std::string identity;
  std::string password;  // empty when the request said it is not needed
  bool operator==(const PeapPromptAnswer&) const = default;
};

enum class PeapPromptForm { NewUserNameAndPassword, OneTimePassword, PasswordOnly };
enum class PeapPromptFocus { Identity, Password };

// How the panel shows a request.
struct PeapPromptLayout {
  PeapPromptForm form = PeapPromptForm::OneTimePassword;
  std::string title;
  std::string description;
  std::string identityLabel;
  std::string passwordLabel;
  std::string identity;
  bool identityEnabled = true;
  bool passwordEnabled = true;
  PeapPromptFocus focus = PeapPromptFocus::Identity;
  bool operator==(const PeapPromptLayout&) const = default;
};

PeapPromptLayout ArrangePeapPrompt(const PeapPromptRequest& request);

inline constexpr const char* kPeapPromptNoIdentityText = "Must input Identity";
inline constexpr const char* kPeapPromptNoPasswordText = "Must input Password";

enum class PeapPromptProblem { None, NoIdentity, NoPassword };

// OK's checks in order: an identity, then a password unless it is not needed.
PeapPromptProblem CheckPeapPromptAnswer(const PeapPromptRequest& request, std::string_view identity,
                                        std::string_view password);
// The fixed text of a refusal; empty for None.
const char* PeapPromptProblemText(PeapPromptProblem problem);

// The stored 802.1X values that decide whether applying a profile asks first.
struct PeapPromptProfile {
  uint32_t use8021x = 0;
  uint32_t authenProtocol = 0;  // "AuthenProtocol"
  uint32_t tunnelProtocol = 0;  // "TunnelProtocol" (the PEAP inner EAP type)
  uint32_t passwordMode = 1;    // "PasswordMode": 0 soft token, 1 static, 2 logon, 3 prompt user
  std::string tunnelId;         // "TunnelID"
  std::string tunnelPassword;   // "TunnelPassword"
};

// PEAP only: Generic Token Card with a soft token asks for the one-time password of the stored
// tunnel identity; "Prompt User" asks for a new user name and password (no password for the
// EAP-TLS inner method, whose certificate proves the user); a static-password profile with a
// tunnel identity but no stored password asks for the password alone. Nothing otherwise.
std::optional<PeapPromptRequest> PeapPromptForProfile(const PeapPromptProfile& profile);

// Where the answer goes for the activation: "TunnelID" and "TunnelPassword" of the active
// configuration (the password left out when it was not asked for).
std::vector<std::pair<std::string, std::string>> PeapPromptActiveValues(
    const PeapPromptRequest& request, const PeapPromptAnswer& answer);

}  // namespace ov
