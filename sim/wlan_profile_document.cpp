#include "sim/wlan_profile_document.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "nativewifi/wlansvc/wlan_types.h"
#include "platform/system/ascii_text.h"

namespace ov::sim {

namespace {

using namespace ov::wlan;

// The published namespaces of the profile schema, versions 1 to 3.
constexpr const char* kProfileNamespaces[] = {
    "http://www.microsoft.com/networking/WLAN/profile/v1",
    "http://www.microsoft.com/networking/WLAN/profile/v2",
    "http://www.microsoft.com/networking/WLAN/profile/v3",
};
// The IHV extension of this adapter family answers for this organisation identifier.
constexpr char kOwnIhvOui[] = "004096";

std::string_view LocalName(const pugi::xml_node& node) {
  std::string_view name = node.name();
  size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node Child(const pugi::xml_node& parent, std::string_view local) {
  for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
    if (c.type() == pugi::node_element && LocalName(c) == local) return c;
  }
  return {};
}

// Follows a path of local names, "MSM/security/authEncryption".
pugi::xml_node Path(pugi::xml_node node, std::string_view path) {
  while (node && !path.empty()) {
    size_t slash = path.find('/');
    node = Child(node, path.substr(0, slash));
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
  }
  return node;
}

// The first element with this local name anywhere below `node`.
pugi::xml_node Descendant(const pugi::xml_node& node, std::string_view local) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    if (LocalName(c) == local) return c;
    if (pugi::xml_node found = Descendant(c, local)) return found;
  }
  return {};
}

std::string Text(const pugi::xml_node& node) { return node ? node.child_value() : ""; }

std::string Trim(std::string s) {
  auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  s.erase(s.begin(), std::find_if_not(s.begin(), s.end(), blank));
  s.erase(std::find_if_not(s.rbegin(), s.rend(), blank).base(), s.end());
  return s;
}

bool IsHexText(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

bool ParseBool(const std::string& text, bool* value) {
  std::string t = Trim(text);
  if (t == "true" || t == "1") {
    *value = true;
  } else if (t == "false" || t == "0") {
    *value = false;
  } else {
    return false;
  }
  return true;
}

// Full text (CDATA included) of an element.
std::string AllText(const pugi::xml_node& node) {
  std::string text;
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) text += c.value();
  }
  return text;
}

bool ValidAuthCipher(const ProfileDocument& p) {
  const std::string& a = p.authentication;
  const std::string& e = p.encryption;
  if (p.adhoc) {
    return (a == "open" && (e == "none" || e == "WEP")) || (a == "shared" && e == "WEP") ||
           (a == "WPAPSK" && e == "TKIP") || (a == "WPA2PSK" && e == "AES");
  }
  if (a == "open") return e == "none" || e == "WEP";
  if (a == "shared") return e == "WEP";
  if (a == "WPA" || a == "WPA2" || a == "WPAPSK" || a == "WPA2PSK") {
    return e == "TKIP" || e == "AES";
  }
  return false;
}

// The key checks of the security module; 0 when the key is acceptable.
uint32_t CheckKey(const ProfileDocument& p) {
  if (p.keyIndex > 3) return WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_KEY_INDEX;
  if (!p.hasSharedKey) return 0;
  if (p.useOneX) return WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_PRESENT;
  if (p.keyType != "networkKey" && p.keyType != "passPhrase") {
    return WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA;
  }
  if (p.encryption == "WEP" && p.keyType != "networkKey") {
    return WLAN_REASON_CODE_MSMSEC_PROFILE_WRONG_KEYTYPE;
  }
  if (p.encryption == "none") return WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_AUTH_CIPHER;
  if (p.keyProtected) return 0;  // sealed by the host; read only when connecting
  const std::string& k = p.keyMaterial;
  if (p.encryption == "WEP") {
    if (k.size() == 10 || k.size() == 26) {
      return IsHexText(k) ? 0 : WLAN_REASON_CODE_MSMSEC_PROFILE_KEYMATERIAL_CHAR;
    }
    return k.size() == 5 || k.size() == 13 ? 0 : WLAN_REASON_CODE_MSMSEC_PROFILE_KEY_LENGTH;
  }
  if (p.keyType == "networkKey") {
    if (k.size() != 64) return WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH;
    return IsHexText(k) ? 0 : WLAN_REASON_CODE_MSMSEC_PROFILE_KEYMATERIAL_CHAR;
  }
  if (k.size() < 8 || k.size() > 63) return WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH;
  for (unsigned char c : k) {
    if (c < 0x20 || c > 0x7E) return WLAN_REASON_CODE_MSMSEC_PROFILE_PASSPHRASE_CHAR;
  }
  return 0;
}

uint32_t ReadSsid(const pugi::xml_node& root, ProfileDocument* p) {
  pugi::xml_node config = Child(root, "SSIDConfig");
  pugi::xml_node ssid = Child(config, "SSID");
  if (!ssid) return WLAN_REASON_CODE_PROFILE_SSID_INVALID;
  pugi::xml_node hex = Child(ssid, "hex");
  pugi::xml_node name = Child(ssid, "name");
  if (hex) {
    std::string digits = Trim(Text(hex));
    if (digits.empty() || digits.size() % 2 || digits.size() > 2 * kMaxSsidLength ||
        !IsHexText(digits)) {
      return WLAN_REASON_CODE_PROFILE_SSID_INVALID;
    }
    for (size_t i = 0; i < digits.size(); i += 2) {
      p->ssid.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
  } else if (name) {
    std::string text = Text(name);
    if (text.empty() || text.size() > kMaxSsidLength) return WLAN_REASON_CODE_PROFILE_SSID_INVALID;
    p->ssid.assign(text.begin(), text.end());
  } else {
    return WLAN_REASON_CODE_PROFILE_SSID_INVALID;
  }
  if (pugi::xml_node nb = Child(config, "nonBroadcast")) {
    if (!ParseBool(Text(nb), &p->nonBroadcast)) return WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA;
  }
  return 0;
}

uint32_t ReadConnection(const pugi::xml_node& root, ProfileDocument* p) {
  std::string type = Trim(Text(Child(root, "connectionType")));
  if (type != "ESS" && type != "IBSS") return WLAN_REASON_CODE_INVALID_BSS_TYPE;
  p->adhoc = type == "IBSS";
  std::string mode = Trim(Text(Child(root, "connectionMode")));
  if (!mode.empty() && mode != "auto" && mode != "manual") {
    return WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA;
  }
  p->manual = mode == "manual";
  bool autoSwitch = false;
  if (pugi::xml_node as = Child(root, "autoSwitch")) {
    if (!ParseBool(Text(as), &autoSwitch)) return WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA;
  }
  if (p->adhoc) {
    if (!mode.empty() && !p->manual) return WLAN_REASON_CODE_INVALID_ADHOC_CONNECTION_MODE;
    if (p->nonBroadcast) return WLAN_REASON_CODE_NON_BROADCAST_SET_FOR_ADHOC;
    if (autoSwitch) return WLAN_REASON_CODE_AUTO_SWITCH_SET_FOR_ADHOC;
    p->manual = true;
  } else if (autoSwitch && p->manual) {
    return WLAN_REASON_CODE_AUTO_SWITCH_SET_FOR_MANUAL_CONNECTION;
  }
  return 0;
}

// The first element child's local name, "" when none.
std::string FirstElementName(const pugi::xml_node& node) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() == pugi::node_element) return std::string(LocalName(c));
  }
  return {};
}

// What tells the methods of one EAP type apart: PEAP's inner method (the host's nested Eap
// element, or the CCX method list), the CCX password source, EAP-FAST's provisioning.
void ReadEapMethodDetails(const pugi::xml_node& method, const pugi::xml_node& config,
                          ProfileDocument* p) {
  std::string author = Trim(Text(Child(method, "AuthorId")));
  if (!author.empty() && author.size() <= 3 &&
      std::all_of(author.begin(), author.end(), [](unsigned char c) { return std::isdigit(c); })) {
    p->eapAuthor = static_cast<uint32_t>(std::stoul(author));
  }
  if (pugi::xml_node outer = Child(config, "Eap")) {
    for (pugi::xml_node typed = outer.first_child(); typed; typed = typed.next_sibling()) {
      if (typed.type() != pugi::node_element || LocalName(typed) != "EapType") continue;
      std::string inner = Trim(Text(Child(Child(typed, "Eap"), "Type")));
      if (!inner.empty() && inner.size() <= 3 &&
          std::all_of(inner.begin(), inner.end(), [](unsigned char c) { return std::isdigit(c); })) {
        p->peapInnerType = static_cast<uint32_t>(std::stoul(inner));
      }
    }
  }
  if (pugi::xml_node methods = Descendant(config, "methods")) {
    p->ccxInnerMethod = FirstElementName(methods);
  }
  if (pugi::xml_node source = Descendant(config, "passwordSource")) {
    p->passwordSource = FirstElementName(source);
  } else if (pugi::xml_node token = Descendant(config, "tokenSource")) {
    p->passwordSource = FirstElementName(token);
  }
  if (pugi::xml_node fast = Child(config, "eapFast")) {
    p->ccxFast = true;
    if (pugi::xml_node id = Child(fast, "unprotectedIdentityPattern")) p->outerIdentity = Text(id);
    pugi::xml_node provisioning = Child(fast, "provisioning");
    bool allow = false;
    p->allowUnauthenticatedProvisioning =
        ParseBool(Text(Child(provisioning, "allowUnauthenticatedProvisioning")), &allow) && allow;
    p->pacFile = Trim(Text(Child(provisioning, "pacFile")));
  } else if (pugi::xml_node id = Descendant(config, "unprotectedIdentityPattern")) {
    p->outerIdentity = Text(id);
  }
}

uint32_t ReadMsm(const pugi::xml_node& root, ProfileDocument* p) {
  pugi::xml_node security = Path(root, "MSM/security");
  if (!security) return 0;
  pugi::xml_node authEncryption = Child(security, "authEncryption");
  if (!authEncryption) return WLAN_REASON_CODE_MSM_SECURITY_MISSING;
  p->hasMsmSecurity = true;
  p->authentication = Trim(Text(Child(authEncryption, "authentication")));
  p->encryption = Trim(Text(Child(authEncryption, "encryption")));
  if (pugi::xml_node onex = Child(authEncryption, "useOneX")) {
    if (!ParseBool(Text(onex), &p->useOneX)) return WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA;
  }
  static const char* kAuth[] = {"open", "shared", "WPA", "WPAPSK", "WPA2", "WPA2PSK"};
  static const char* kCipher[] = {"none", "WEP", "TKIP", "AES"};
  auto known = [](const std::string& v, const auto& list) {
    return std::any_of(std::begin(list), std::end(list), [&](const char* s) { return v == s; });
  };
  if (!known(p->authentication, kAuth) || !known(p->encryption, kCipher)) {
    return WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA;
  }
  if (!ValidAuthCipher(*p)) return WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_AUTH_CIPHER;
  bool enterprise = p->authentication == "WPA" || p->authentication == "WPA2";
  if (enterprise && !p->useOneX) return WLAN_REASON_CODE_MSMSEC_PROFILE_ONEX_DISABLED;
  bool oneXAllowed = enterprise || (p->authentication == "open" && p->encryption == "WEP");
  if (p->useOneX && !oneXAllowed) return WLAN_REASON_CODE_MSMSEC_PROFILE_ONEX_ENABLED;

  if (pugi::xml_node shared = Child(security, "sharedKey")) {
    p->hasSharedKey = true;
    p->keyType = Trim(Text(Child(shared, "keyType")));
    if (!ParseBool(Text(Child(shared, "protected")), &p->keyProtected)) {
      return WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA;
    }
    p->keyMaterial = Text(Child(shared, "keyMaterial"));
  }
  if (pugi::xml_node index = Child(security, "keyIndex")) {
    std::string digits = Trim(Text(index));
    if (digits.empty() || digits.size() > 2 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); })) {
      return WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_KEY_INDEX;
    }
    p->keyIndex = static_cast<uint32_t>(std::stoul(digits));
  }
  if (uint32_t reason = CheckKey(*p)) return reason;

  if (pugi::xml_node onex = Child(security, "OneX")) {
    pugi::xml_node method = Path(onex, "EAPConfig/EapHostConfig/EapMethod");
    if (pugi::xml_node type = Child(method, "Type")) {
      std::string digits = Trim(Text(type));
      if (digits.empty() || digits.size() > 3 ||
          !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); })) {
        return WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA;
      }
      p->eapType = static_cast<uint32_t>(std::stoul(digits));
    }
    pugi::xml_node config = Path(onex, "EAPConfig/EapHostConfig/Config");
    if (pugi::xml_node id = Descendant(config, "unprotectedIdentityPattern")) p->configIdentity = Text(id);
    if (pugi::xml_node id = Descendant(config, "protectedIdentityPattern")) p->configIdentity = Text(id);
    if (pugi::xml_node pw = Descendant(config, "passwordFromProfile")) p->configPassword = Text(pw);
    ReadEapMethodDetails(method, config, p);
  }
  return 0;
}

uint32_t ReadIhv(const pugi::xml_node& root, ProfileDocument* p) {
  pugi::xml_node ihv = Child(root, "IHV");
  if (!ihv) return 0;
  p->hasIhv = true;
  pugi::xml_node oui = Path(ihv, "OUIHeader/OUI");
  if (!oui) return WLAN_REASON_CODE_IHV_OUI_MISSING;
  std::string digits = Trim(Text(oui));
  digits = AsciiLowered(digits);
  if (digits != kOwnIhvOui) return WLAN_REASON_CODE_IHV_OUI_MISMATCH;
  pugi::xml_node ccx = Path(ihv, "connectivity/CCX");
  p->ownProfile = static_cast<bool>(Child(ccx, "OrvaneProfile"));
  p->diagnostics = static_cast<bool>(Child(ccx, "Diagnostics"));
  p->ihvCckm = static_cast<bool>(Path(ihv, "security/CCX/authenticatingNetwork/cckm"));
  if (pugi::xml_node wapi = Path(ihv, "security/IhvSecurity")) {
    p->ihvWapi = true;
    p->wapiMode = Trim(Text(Child(wapi, "IHVSecurityParam1")));
    p->wapiKey = Trim(Text(Child(wapi, "IHVSecurityParam3")));
    p->wapiKeyCheck = Trim(Text(Child(wapi, "IHVSecurityParam4")));
  }
  return 0;
}

}  // namespace

bool ParseProfileDocument(const std::string& xml, ProfileDocument* out, uint32_t* reasonCode) {
  auto refuse = [&](uint32_t reason) {
    *reasonCode = reason;
    return false;
  };
  pugi::xml_document document;
  if (!document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8)) {
    return refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA);
  }
  pugi::xml_node root = document.document_element();
  if (LocalName(root) != "WLANProfile") return refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA);
  std::string prefix(root.name(), LocalName(root).data() - root.name());
  std::string nsAttribute = prefix.empty() ? "xmlns" : "xmlns:" + prefix.substr(0, prefix.size() - 1);
  std::string ns = root.attribute(nsAttribute.c_str()).value();
  if (std::none_of(std::begin(kProfileNamespaces), std::end(kProfileNamespaces),
                   [&](const char* known) { return ns == known; })) {
    return refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA);
  }

  ProfileDocument p;
  pugi::xml_node name = Child(root, "name");
  p.name = AllText(name);
  if (!name || p.name.empty() || p.name.size() > kMaxNameLength ||
      p.name.find_first_of("\r\n") != std::string::npos) {
    return refuse(WLAN_REASON_CODE_INVALID_PROFILE_NAME);
  }
  if (uint32_t r = ReadSsid(root, &p)) return refuse(r);
  if (uint32_t r = ReadConnection(root, &p)) return refuse(r);
  if (uint32_t r = ReadMsm(root, &p)) return refuse(r);
  if (uint32_t r = ReadIhv(root, &p)) return refuse(r);
  if (!p.hasMsmSecurity && !p.ihvWapi && !p.ihvCckm) {
    return refuse(WLAN_REASON_CODE_SECURITY_MISSING);
  }
  *out = std::move(p);
  *reasonCode = WLAN_REASON_CODE_SUCCESS;
  return true;
}

bool ParseUserCredentials(const std::string& xml, UserCredentials* out) {
  pugi::xml_document document;
  if (!document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8)) {
    return false;
  }
  pugi::xml_node root = document.document_element();
  if (LocalName(root) != "EapHostUserCredentials") return false;
  UserCredentials c;
  std::string type = Trim(Text(Child(Child(root, "EapMethod"), "Type")));
  if (type.empty() || type.size() > 3 ||
      !std::all_of(type.begin(), type.end(), [](unsigned char ch) { return std::isdigit(ch); })) {
    return false;
  }
  c.eapType = static_cast<uint32_t>(std::stoul(type));
  pugi::xml_node credentials = Child(root, "Credentials");
  if (!credentials) return false;
  c.identity = Text(Descendant(credentials, "RoutingIdentity"));
  c.username = Text(Descendant(credentials, "Username"));
  c.password = Text(Descendant(credentials, "Password"));
  c.userCert = Trim(Text(Descendant(credentials, "UserCert")));
  c.userCert = AsciiLowered(c.userCert);
  *out = std::move(c);
  return true;
}

}  // namespace ov::sim
