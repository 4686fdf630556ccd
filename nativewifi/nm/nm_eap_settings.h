#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The 802.1X part of a WLAN profile document (its OneX element) and of an EAP user-credentials
// document, as NetworkManager's 802-1x setting has them. Plain data.
namespace ov::wlan::nm {

struct EapSettings {
  std::string method;             // 802-1x.eap: "peap", "ttls" or "leap"
  std::string phase2Auth;         // 802-1x.phase2-auth: "mschapv2", "gtc", "pap", "chap", "mschap"
  // Server validation: the host names the certificate a specific root by its store thumbprint,
  // which has no counterpart here; validation is against the system's CAs and the server names.
  bool validateServer = false;    // 802-1x.system-ca-certs
  std::string domainSuffixMatch;  // 802-1x.domain-suffix-match ("a;b" for several)
  std::string identity;           // 802-1x.identity (the inner identity)
  std::string anonymousIdentity;  // 802-1x.anonymous-identity (the outer one)
  std::string password;           // 802-1x.password
};

struct EapTranslation {
  uint32_t reasonCode = 0;  // 0: translated; else why not (WLAN_REASON_CODE_...)
  std::string why;          // for the log and ovuictl, in English
  EapSettings settings;
};

// The EAPConfig text of a OneX element (or the OneX element's text whole). Translated: PEAP
// with MSCHAPv2 or GTC inside, TTLS with PAP, CHAP, MSCHAP or MSCHAPv2 inside, LEAP. Refused:
// EAP-TLS and PEAP-TLS (the client certificate is a host certificate-store or smart-card
// reference), EAP-FAST (its PAC store) and every other method.
EapTranslation TranslateEapConfig(const std::string& oneXXml);

// The identities and password of an EAP user-credentials document (PEAP-MSCHAPv2 or TTLS);
// reasonCode set when the document does not parse or holds a certificate.
EapTranslation TranslateEapCredentials(const std::string& userDataXml);

}  // namespace ov::wlan::nm
