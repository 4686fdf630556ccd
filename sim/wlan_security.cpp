#include "sim/wlan_security.h"
#include "platform/system/ascii_text.h"
#include "platform/system/hex_text.h"
#include "siblings/wapi_keys.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>

namespace ov::sim {

namespace {

using namespace ov::wlan;

constexpr int kPbkdf2Rounds = 4096;
constexpr size_t kPmkSize = 32;

// EAP method numbers.
constexpr uint32_t kEapTls = 13;
constexpr uint32_t kEapLeap = 17;
constexpr uint32_t kEapPeap = 25;
constexpr uint32_t kEapMsChapV2 = 26;
constexpr uint32_t kEapFast = 43;
// The author of CCX-schema EAP configurations (PEAP with GTC, LEAP, EAP-FAST).
constexpr uint32_t kCcxAuthor = 9;

std::vector<uint8_t> HexBytes(const std::string& text) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    out.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
  }
  return out;
}

bool SameText(const std::string& a, const std::string& b) {
  return EqualsIgnoringAsciiCase(a, b);
}

std::vector<uint8_t> ApSsid(const AccessPointSpec& ap) {
  return std::vector<uint8_t>(ap.ssid.begin(), ap.ssid.end());
}

// The pairwise cipher the access point uses with a station of this kind.
CipherAlgorithm ApPairwise(const AccessPointSpec& ap, bool rsn) {
  if (ap.cipher == ApCipher::Tkip) return DOT11_CIPHER_ALGO_TKIP;
  if (ap.cipher == ApCipher::Ccmp) return DOT11_CIPHER_ALGO_CCMP;
  return rsn ? DOT11_CIPHER_ALGO_CCMP : DOT11_CIPHER_ALGO_TKIP;
}

CipherAlgorithm ProfileCipher(const ProfileDocument& p) {
  if (p.encryption == "TKIP") return DOT11_CIPHER_ALGO_TKIP;
  if (p.encryption == "AES") return DOT11_CIPHER_ALGO_CCMP;
  return DOT11_CIPHER_ALGO_NONE;
}

uint32_t CheckWepKey(const AccessPointSpec& ap, const ProfileDocument& p) {
  if (!p.hasSharedKey || p.keyProtected) return WLAN_REASON_CODE_KEY_MISMATCH;
  const std::string& k = p.keyMaterial;
  std::vector<uint8_t> key = (k.size() == 10 || k.size() == 26)
                                 ? HexBytes(k)
                                 : std::vector<uint8_t>(k.begin(), k.end());
  if (key != ap.wepKey || p.keyIndex != ap.wepKeyIndex) return WLAN_REASON_CODE_KEY_MISMATCH;
  return WLAN_REASON_CODE_SUCCESS;
}

uint32_t CheckPsk(const AccessPointSpec& ap, const ProfileDocument& p) {
  // An ad hoc WPA-None cell takes its key through the driver, not the profile.
  if (ap.security == ApSecurity::WpaNone && !p.hasSharedKey) return WLAN_REASON_CODE_SUCCESS;
  if (!p.hasSharedKey || p.keyProtected) return WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED;
  std::vector<uint8_t> station = p.keyType == "networkKey"
                                     ? HexBytes(p.keyMaterial)
                                     : PassphraseToPsk(p.keyMaterial, ApSsid(ap));
  std::vector<uint8_t> network = ap.psk.empty() ? PassphraseToPsk(ap.passphrase, ApSsid(ap)) : ap.psk;
  return station == network && station.size() == kPmkSize
             ? WLAN_REASON_CODE_SUCCESS
             : WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED;
}

// The station's base key, as the certificate manager derived it from the key the user typed,
// against the one the access point derives from its own; the check value must match the key.
uint32_t CheckWapiPsk(const AccessPointSpec& ap, const ProfileDocument& p) {
  const auto station = HexDecode(p.wapiKey);
  const auto check = HexDecode(p.wapiKeyCheck);
  const std::vector<uint8_t> apKey =
      ap.psk.empty() ? std::vector<uint8_t>(ap.passphrase.begin(), ap.passphrase.end()) : ap.psk;
  const std::vector<uint8_t> network = wapi::DeriveBaseKey(apKey);
  if (!station || !check || station->empty() || *station != network ||
      *check != wapi::KeyCheckValue(*station)) {
    return WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED;
  }
  return WLAN_REASON_CODE_SUCCESS;
}

// The method a profile's EAP configuration asks for, among those the simulated server knows;
// nothing when the server offers no such method (a PEAP inner method it lacks, say).
std::optional<EapMethod> ProfileEapMethod(const ProfileDocument& p) {
  if (!p.eapType) return std::nullopt;
  switch (*p.eapType) {
    case kEapPeap:
      if (p.eapAuthor == kCcxAuthor) {
        if (p.ccxInnerMethod == "eapGtc") return EapMethod::PeapGtc;
        return std::nullopt;
      }
      // Without an inner method the host's PEAP default, MS-CHAP v2, applies.
      if (!p.peapInnerType || *p.peapInnerType == kEapMsChapV2) return EapMethod::PeapMsChapV2;
      if (p.peapInnerType == kEapTls) return EapMethod::PeapTls;
      return std::nullopt;
    case kEapTls: return EapMethod::Tls;
    case kEapLeap: return EapMethod::Leap;
    case kEapFast:
      if (p.ccxFast) return EapMethod::EapFast;
      return std::nullopt;
    default: return std::nullopt;
  }
}

// EAP-FAST: the server provisions a station that allows unauthenticated provisioning or brings
// a PAC; the account is the outer identity, "anonymous" when the profile gives none.
uint32_t CheckEapFast(const AccessPointSpec& ap, const ProfileDocument& p) {
  if (!p.allowUnauthenticatedProvisioning && p.pacFile.empty()) {
    return ONEX_REASON_CODE_EAP_FAILURE_RECEIVED;
  }
  const std::string outer = p.outerIdentity.empty() ? std::string("anonymous") : p.outerIdentity;
  for (const ApUser& u : ap.users) {
    if (u.method == EapMethod::EapFast && SameText(u.identity, outer)) return WLAN_REASON_CODE_SUCCESS;
  }
  return ONEX_REASON_CODE_EAP_FAILURE_RECEIVED;
}

uint32_t CheckAccount(const AccessPointSpec& ap, const ProfileDocument& p,
                      const std::optional<UserCredentials>& c) {
  const std::optional<EapMethod> found = ProfileEapMethod(p);
  if (!found) return ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE;
  const EapMethod method = *found;
  if (std::none_of(ap.users.begin(), ap.users.end(),
                   [&](const ApUser& u) { return u.method == method; })) {
    return ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE;
  }
  if (method == EapMethod::EapFast) return CheckEapFast(ap, p);
  // The account: from the user-credentials document, else from the profile's own EAP settings.
  // GTC's secret is the profile's static password; the other sources need a person to answer
  // a prompt, and the simulated service has nobody to ask.
  std::string name;
  std::string password;
  std::string certificate;
  if (method == EapMethod::PeapGtc) {
    if (p.passwordSource != "passwordFromProfile") return ONEX_REASON_CODE_IDENTITY_NOT_FOUND;
    name = p.configIdentity;
    password = p.configPassword;
  } else if (c) {
    name = c->username.empty() ? c->identity : c->username;
    password = c->password;
    certificate = c->userCert;
  } else {
    name = p.configIdentity;
    password = p.configPassword;
  }
  const bool byCertificate = method == EapMethod::Tls || method == EapMethod::PeapTls;
  // A TLS client without a user name is known by its certificate alone, as a server takes the
  // identity from the certificate it verified (the routing identity is only the outer one).
  if (byCertificate && c && c->username.empty()) name.clear();
  const bool byCertificateAlone = byCertificate && name.empty() && !certificate.empty();
  if (name.empty() && !byCertificateAlone) return ONEX_REASON_CODE_IDENTITY_NOT_FOUND;
  for (const ApUser& u : ap.users) {
    if (u.method != method) continue;
    if (byCertificateAlone) {
      if (u.certificateSha1 == certificate) return WLAN_REASON_CODE_SUCCESS;
      continue;
    }
    if (!SameText(u.identity, name)) continue;
    if (byCertificate) {
      if (u.certificateSha1.empty() || u.certificateSha1 == certificate) {
        return WLAN_REASON_CODE_SUCCESS;
      }
    } else if (u.password == password) {
      return WLAN_REASON_CODE_SUCCESS;
    }
  }
  return ONEX_REASON_CODE_EAP_FAILURE_RECEIVED;
}

}  // namespace

std::vector<uint8_t> PassphraseToPsk(const std::string& passphrase,
                                     const std::vector<uint8_t>& ssid) {
  std::vector<uint8_t> key(kPmkSize);
  if (PKCS5_PBKDF2_HMAC_SHA1(passphrase.data(), static_cast<int>(passphrase.size()), ssid.data(),
                             static_cast<int>(ssid.size()), kPbkdf2Rounds,
                             static_cast<int>(key.size()), key.data()) != 1) {
    return {};
  }
  return key;
}

ConnectionVerdict JudgeConnection(const AccessPointSpec& ap, const ProfileDocument& p,
                                  const std::optional<UserCredentials>& credentials,
                                  const WapiCertificateEvidence& wapi) {
  ConnectionVerdict v;
  SecurityAttributes& s = v.security;
  auto incompatible = [&] {
    v.reasonCode = WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE;
    return v;
  };
  if (p.adhoc != ap.adhoc) {
    v.reasonCode = WLAN_REASON_CODE_BSS_TYPE_UNMATCH;
    return v;
  }
  const std::string& a = p.authentication;
  CipherAlgorithm cipher = ProfileCipher(p);

  if (p.ihvWapi && p.wapiMode == "1") {
    if (ap.security != ApSecurity::WapiCert) return incompatible();
    s = {true, false, DOT11_AUTH_ALGO_IHV_START, DOT11_CIPHER_ALGO_IHV_START};
    v.reasonCode = WapiCertificateReasonCode(
        JudgeWapiCertificate(ap.asCertificate, wapi.installed, wapi.unixSeconds));
    return v;
  }
  if (p.ihvWapi) {
    if (ap.security != ApSecurity::WapiPsk || p.wapiMode != "2") return incompatible();
    s = {true, false, DOT11_AUTH_ALGO_IHV_START, DOT11_CIPHER_ALGO_IHV_START};
    v.reasonCode = CheckWapiPsk(ap, p);
    return v;
  }
  if (!p.hasMsmSecurity) return incompatible();

  if (a == "open" && p.encryption == "none") {
    if (ap.security != ApSecurity::Open) return incompatible();
    s = {false, false, DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_NONE};
    return v;
  }
  if (p.encryption == "WEP") {
    bool shared = a == "shared";
    if (p.useOneX || ap.security != (shared ? ApSecurity::WepShared : ApSecurity::WepOpen)) {
      return incompatible();
    }
    s = {true, false, shared ? DOT11_AUTH_ALGO_80211_SHARED_KEY : DOT11_AUTH_ALGO_80211_OPEN,
         ap.wepKey.size() == 5 ? DOT11_CIPHER_ALGO_WEP40 : DOT11_CIPHER_ALGO_WEP104};
    v.reasonCode = CheckWepKey(ap, p);
    return v;
  }
  if (a == "WPAPSK") {
    bool fits = (ap.security == ApSecurity::WpaPsk && cipher == ApPairwise(ap, false)) ||
                (ap.security == ApSecurity::WpaWpa2Psk && cipher == DOT11_CIPHER_ALGO_TKIP) ||
                (ap.security == ApSecurity::WpaNone && cipher == DOT11_CIPHER_ALGO_TKIP);
    if (!fits) return incompatible();
    s = {true, false, ap.adhoc ? DOT11_AUTH_ALGO_WPA_NONE : DOT11_AUTH_ALGO_WPA_PSK, cipher};
    v.reasonCode = CheckPsk(ap, p);
    return v;
  }
  if (a == "WPA2PSK") {
    bool fits = (ap.security == ApSecurity::Wpa2Psk && cipher == ApPairwise(ap, true)) ||
                ap.security == ApSecurity::WpaWpa2Psk;
    if (!fits) return incompatible();
    s = {true, false, DOT11_AUTH_ALGO_RSNA_PSK, cipher};
    v.reasonCode = CheckPsk(ap, p);
    return v;
  }
  if (a == "WPA2") {
    if (ap.security != ApSecurity::Wpa2Enterprise || cipher != ApPairwise(ap, true)) {
      return incompatible();
    }
    s = {true, true, DOT11_AUTH_ALGO_RSNA, cipher};
    v.reasonCode = CheckAccount(ap, p, credentials);
    return v;
  }
  if (a == "WPA") {
    if (ap.security != ApSecurity::Cckm || cipher != ApPairwise(ap, false)) return incompatible();
    s = {true, true, DOT11_AUTH_ALGO_WPA, cipher};
    v.reasonCode = CheckAccount(ap, p, credentials);
    return v;
  }
  return incompatible();
}

}  // namespace ov::sim
