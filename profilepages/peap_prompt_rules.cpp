#include "profilepages/peap_prompt_rules.h"

#include "nativewifi/station_profile.h"

namespace ov {

namespace {

constexpr uint32_t kPasswordModeSoftToken = 0;
constexpr uint32_t kPasswordModeStatic = 1;
constexpr uint32_t kPasswordModePromptUser = 3;

}  // namespace

PeapPromptLayout ArrangePeapPrompt(const PeapPromptRequest& request) {
  PeapPromptLayout layout;
  if (request.passwordOnly) {
    layout.form = PeapPromptForm::PasswordOnly;
    layout.title = "Enter your new password";
    layout.identityLabel = "Identity";
    layout.passwordLabel = "Password";
    layout.identity = request.identity;
    layout.identityEnabled = false;
    layout.focus = PeapPromptFocus::Password;
  } else if (request.newUserName) {
    layout.form = PeapPromptForm::NewUserNameAndPassword;
    layout.title = "Enter your new username and password";
    layout.identityLabel = "Identity";
    layout.passwordLabel = "Password";
  } else {
    layout.form = PeapPromptForm::OneTimePassword;
    layout.title = "Peap Setting - One Time Password";
    layout.identityLabel = "Tunnel Identity";
    layout.passwordLabel = "Tunnel Password";
    layout.identity = request.identity;
  }
  layout.description = "Description : " + layout.title;
  layout.passwordEnabled = !request.passwordNotNeeded;
  // A password-only prompt whose password is not needed has nothing to type: OK is the focus's.
  if (layout.focus == PeapPromptFocus::Password && !layout.passwordEnabled)
    layout.focus = PeapPromptFocus::Identity;
  return layout;
}

PeapPromptProblem CheckPeapPromptAnswer(const PeapPromptRequest& request, std::string_view identity,
                                        std::string_view password) {
  if (identity.empty()) return PeapPromptProblem::NoIdentity;
  if (!request.passwordNotNeeded && password.empty()) return PeapPromptProblem::NoPassword;
  return PeapPromptProblem::None;
}

const char* PeapPromptProblemText(PeapPromptProblem problem) {
  switch (problem) {
    case PeapPromptProblem::NoIdentity: return kPeapPromptNoIdentityText;
    case PeapPromptProblem::NoPassword: return kPeapPromptNoPasswordText;
    case PeapPromptProblem::None: break;
  }
  return "";
}

std::optional<PeapPromptRequest> PeapPromptForProfile(const PeapPromptProfile& p) {
  if (p.use8021x == 0 || p.authenProtocol != kEapPeap) return std::nullopt;
  PeapPromptRequest request;
  if (p.passwordMode == kPasswordModePromptUser) {
    request.newUserName = true;
    request.passwordNotNeeded = p.tunnelProtocol == kInnerTls;
    return request;
  }
  if (p.tunnelProtocol == kInnerGtc && p.passwordMode == kPasswordModeSoftToken) {
    request.identity = p.tunnelId;
    return request;
  }
  if (p.tunnelProtocol != kInnerTls && p.passwordMode == kPasswordModeStatic && !p.tunnelId.empty() &&
      p.tunnelPassword.empty()) {
    request.identity = p.tunnelId;
    request.passwordOnly = true;
    return request;
  }
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> PeapPromptActiveValues(
    const PeapPromptRequest& request, const PeapPromptAnswer& answer) {
  std::vector<std::pair<std::string, std::string>> values = {{"TunnelID", answer.identity}};
  if (!request.passwordNotNeeded) values.emplace_back("TunnelPassword", answer.password);
  return values;
}

}  // namespace ov
