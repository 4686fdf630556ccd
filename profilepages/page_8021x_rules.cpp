#include "profilepages/page_8021x_rules.h"

namespace ov {

namespace {

constexpr uint32_t kPasswordModeStatic = 1;

CredentialEnabling CredentialsFor(const EapFields& f) {
  CredentialEnabling c;
  switch (f.authenProtocol) {
    case kEapPeap:
      if (f.tunnelProtocol == kInnerGtc) {
        const bool staticMode = f.passwordMode == kPasswordModeStatic;
        c.tunnelId = staticMode;
        c.tunnelPassword = staticMode;
        c.passwordModes = true;
      } else {
        c.identity = true;
        c.tunnelId = true;
        c.tunnelPassword = f.tunnelProtocol != kInnerTls;
      }
      break;
    case kEapTls:
      c.identity = true;
      break;
    case kEapTtls:
      c.identity = c.tunnelId = c.tunnelPassword = true;
      break;
    case kEapMd5:
      c.identity = c.password = true;
      break;
    case kEapLeap:
      c.identity = c.password = true;
      c.passwordModes = true;
      break;
    default:
      break;
  }
  return c;
}

bool ClientCertForced(const EapFields& f) {
  return f.authenProtocol == kEapTls || (f.authenProtocol == kEapPeap && f.tunnelProtocol == kInnerTls);
}

std::optional<EapRefusal> Refuse(LanguageKey key) { return EapRefusal{key, {}}; }

}  // namespace

EapFields ResetEapFields() {
  EapFields f;
  f.authenProtocol = kEapPeap;
  f.tunnelProtocol = kInnerMsChapV2;
  f.provisioningTunnel = kInnerMsChapV2;
  f.ttlsInnerMethod = kTtlsInnerChap;
  f.passwordMode = kPasswordModeStatic;
  f.provisionMode = 1;
  return f;
}

void ChooseEapMethod(EapFields& f, uint32_t method) {
  if (method > kEapLeap) return;
  f.authenProtocol = method;
  if (method == kEapPeap) f.tunnelProtocol = kInnerMsChapV2;
  if (method == kEapTtls) f.ttlsInnerMethod = kTtlsInnerChap;
  if (ClientCertForced(f)) f.useClientCert = 1;
}

void ChoosePeapInner(EapFields& f, uint32_t innerEapType) {
  if (innerEapType != kInnerMsChapV2 && innerEapType != kInnerTls && innerEapType != kInnerGtc) return;
  f.tunnelProtocol = innerEapType;
  if (ClientCertForced(f)) f.useClientCert = 1;
}

void ChooseTtlsInner(EapFields& f, uint32_t menuIndex) {
  if (menuIndex >= kTtlsInnerCount) return;
  f.ttlsInnerMethod = menuIndex + 1;
}

EapArrangement ArrangeEapPage(const EapFields& f, bool eapFastEnhancement) {
  using T = EapSubTab;
  EapArrangement a;
  a.credentials = CredentialsFor(f);
  a.clientCertForced = ClientCertForced(f);
  switch (f.authenProtocol) {
    case kEapPeap:
    case kEapTtls:
      a.innerEnabled = true;
      a.innerMenu = f.authenProtocol == kEapPeap ? InnerMenu::Peap : InnerMenu::Ttls;
      a.tabs = {T::Credentials, T::ClientCert, T::ServerCert, T::SingleSignOn};
      break;
    case kEapTls:
      a.tabs = {T::Credentials, T::ClientCert, T::ServerCert, T::SingleSignOn};
      break;
    case kEapFast:
      a.innerVisible = false;
      a.tabs = {T::SingleSignOn};
      if (eapFastEnhancement && (f.provisioningTunnel == kInnerTls || f.usePac != 0))
        a.tabs = {T::SingleSignOn, T::ClientCert, T::ServerCert};
      a.selected = T::SingleSignOn;
      break;
    case kEapMd5:
      a.tabs = {T::Credentials, T::ServerCert, T::SingleSignOn};
      break;
    case kEapLeap:
    default:
      a.tabs = {T::Credentials, T::SingleSignOn};
      break;
  }
  return a;
}

bool IsServerDomainName(const std::string& name) {
  for (size_t i = 1; i + 1 < name.size(); ++i)
    if (name[i] == '.') return true;
  return false;
}

std::optional<EapRefusal> ValidateEapPage(const EapFields& f) {
  if (f.authenProtocol == kEapLeap) {
    if (f.passwordMode != kPasswordModeStatic) return std::nullopt;
    if (f.identity.empty()) return Refuse(IDS_IDREQUIRED);
    if (f.password.empty()) return Refuse(IDS_PWDREQUIRED);
    return std::nullopt;
  }
  if (f.authenProtocol != kEapPeap) return std::nullopt;
  switch (f.tunnelProtocol) {
    case kInnerMsChapV2:
      if (f.identity.empty()) return Refuse(IDS_IDREQUIRED);
      if (f.tunnelId.empty()) return Refuse(IDS_TUNNELIDREQUIRED);
      if (f.tunnelPassword.empty()) return Refuse(IDS_TUNNELPWDREQUIRED);
      break;
    case kInnerTls:
      if (f.identity.empty()) return Refuse(IDS_IDREQUIRED);
      if (f.tunnelId.empty()) return Refuse(IDS_TUNNELIDREQUIRED);
      if (f.useClientCert != 0 && f.clientCert.empty()) return Refuse(IDS_CHECKRULE5);
      break;
    case kInnerGtc:
      if (f.passwordMode == kPasswordModeStatic) {
        if (f.tunnelId.empty()) return Refuse(IDS_TUNNELIDREQUIRED);
        if (f.tunnelPassword.empty()) return Refuse(IDS_TUNNELPWDREQUIRED);
      }
      break;
    default:
      break;
  }
  if (f.useServerCert != 0) {
    if (f.serverName.empty()) return Refuse(IDS_IDREQUIRED);
    if (f.nameRule == 1 && !IsServerDomainName(f.serverName))
      return EapRefusal{std::nullopt, kInvalidServerDomainText};
  }
  return std::nullopt;
}

}  // namespace ov
