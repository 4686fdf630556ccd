#include "nativewifi/nm/nm_eap_settings.h"

#include "nativewifi/nm/nm_xml.h"
#include "nativewifi/wlansvc/wlan_types.h"

namespace ov::wlan::nm {
namespace {

// EAP method types as the documents number them.
constexpr int kEapTypeTls = 13;
constexpr int kEapTypeLeap = 17;
constexpr int kEapTypeTtls = 21;
constexpr int kEapTypePeap = 25;
constexpr int kEapTypeMsChapV2 = 26;
constexpr int kEapTypeFast = 43;
// The AuthorId of the vendor's own method configurations (PEAP-GTC, LEAP, EAP-FAST).
constexpr int kVendorAuthor = 9;

EapTranslation Refuse(uint32_t reason, std::string why) {
  EapTranslation t;
  t.reasonCode = reason;
  t.why = std::move(why);
  return t;
}

bool Parse(const std::string& xml, pugi::xml_document* doc) {
  return xml.size() <= kMaxProfileXml &&
         doc->load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
}

// The host's server validation: names to match; the trusted root (a store thumbprint) is not
// carried over.
void ReadServerValidation(const pugi::xml_node& validation, EapSettings* s) {
  if (!validation) return;
  s->validateServer = true;
  s->domainSuffixMatch = Text(Descendant(validation, "ServerNames"));
}

EapTranslation TranslatePeap(const pugi::xml_node& config, int author) {
  EapTranslation t;
  EapSettings& s = t.settings;
  s.method = "peap";
  if (author == kVendorAuthor) {
    // The vendor's PEAP configuration: GTC inside, names from the subject rules.
    const pugi::xml_node peap = Descendant(config, "eapPeap");
    if (!Descendant(peap, "eapGtc"))
      return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET, "PEAP with an inner method other than GTC");
    s.phase2Auth = "gtc";
    if (const pugi::xml_node v = Descendant(peap, "validateServerCertificate")) {
      s.validateServer = true;
      s.domainSuffixMatch = Text(Descendant(v, "matchSubject"));
    }
    s.anonymousIdentity = Text(Descendant(peap, "unprotectedIdentityPattern"));
    s.identity = Text(Descendant(peap, "protectedIdentityPattern"));
    s.password = Text(Descendant(peap, "passwordFromProfile"));
    return t;
  }
  // Config/Eap(PEAP)/EapType/Eap(inner)/Type.
  const pugi::xml_node outer = Descendant(config, "Eap");
  const pugi::xml_node peapType = Child(outer, "EapType");
  const pugi::xml_node inner = Child(peapType, "Eap");
  const int innerType = Child(inner, "Type").text().as_int(kEapTypeMsChapV2);
  if (innerType == kEapTypeTls)
    return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET,
                  "PEAP-TLS: the client certificate comes from the host's certificate store");
  if (innerType != kEapTypeMsChapV2)
    return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET, "PEAP with an unknown inner method");
  s.phase2Auth = "mschapv2";
  ReadServerValidation(Child(peapType, "ServerValidation"), &s);
  return t;
}

EapTranslation TranslateTtls(const pugi::xml_node& config) {
  EapTranslation t;
  EapSettings& s = t.settings;
  s.method = "ttls";
  const pugi::xml_node phase2 = Descendant(config, "Phase2Authentication");
  const pugi::xml_node first = phase2.first_child();
  const std::string_view inner = first ? LocalName(first) : std::string_view("MSCHAPv2Authentication");
  if (inner == "PAPAuthentication") s.phase2Auth = "pap";
  else if (inner == "CHAPAuthentication") s.phase2Auth = "chap";
  else if (inner == "MSCHAPAuthentication") s.phase2Auth = "mschap";
  else if (inner == "MSCHAPv2Authentication") s.phase2Auth = "mschapv2";
  else return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET, "TTLS with an inner EAP method");
  ReadServerValidation(Descendant(config, "ServerValidation"), &s);
  s.anonymousIdentity = Text(Descendant(Descendant(config, "Phase1Identity"), "AnonymousIdentity"));
  return t;
}

}  // namespace

EapTranslation TranslateEapConfig(const std::string& oneXXml) {
  pugi::xml_document doc;
  if (!Parse(oneXXml, &doc)) return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA, "the 802.1X part is not XML");
  const pugi::xml_node host = Descendant(doc, "EapHostConfig");
  const pugi::xml_node method = Child(host, "EapMethod");
  if (!method) return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA, "802.1X without an EAP method");
  const int type = Child(method, "Type").text().as_int(-1);
  const int author = Child(method, "AuthorId").text().as_int(0);
  const pugi::xml_node config = Child(host, "Config");
  switch (type) {
    case kEapTypePeap: return TranslatePeap(config, author);
    case kEapTypeTtls: return TranslateTtls(config);
    case kEapTypeTls:
      return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET,
                    "EAP-TLS: the client certificate comes from the host's certificate store");
    case kEapTypeLeap: {
      // The vendor's LEAP configuration: the account only when the profile holds it.
      EapTranslation t;
      const pugi::xml_node leap = Descendant(config, "eapLeap");
      t.settings.method = "leap";
      t.settings.identity = Text(Descendant(leap, "unprotectedIdentityPattern"));
      t.settings.password = Text(Descendant(leap, "passwordFromProfile"));
      return t;
    }
    case kEapTypeFast:
      return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET, "EAP-FAST: the PAC store has no counterpart");
    default: return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET, "an EAP method with no counterpart");
  }
}

EapTranslation TranslateEapCredentials(const std::string& userDataXml) {
  pugi::xml_document doc;
  if (!Parse(userDataXml, &doc))
    return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA, "the credentials are not XML");
  if (Descendant(doc, "UserCert") || Descendant(doc, "SmartCard"))
    return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET,
                  "a client certificate from the host's certificate store");
  EapTranslation t;
  EapSettings& s = t.settings;
  const std::string_view routing = Text(Descendant(doc, "RoutingIdentity"));
  s.identity = Text(Descendant(doc, "Username"));
  s.password = Text(Descendant(doc, "Password"));
  if (s.identity.empty()) s.identity = routing;
  else s.anonymousIdentity = routing;
  if (s.identity.empty()) return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA, "credentials without a user name");
  return t;
}

}  // namespace ov::wlan::nm
