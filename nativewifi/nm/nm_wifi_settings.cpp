#include "nativewifi/nm/nm_wifi_settings.h"

#include "nativewifi/nm/nm_xml.h"

#include "nativewifi/wlansvc/wlan_types.h"

#include <optional>
#include <sstream>

namespace ov::wlan::nm {
namespace {

TranslateResult Refuse(uint32_t reason, std::string why) {
  TranslateResult r;
  r.error = ERROR_BAD_PROFILE;
  r.reasonCode = reason;
  r.why = std::move(why);
  return r;
}

bool HexToBytes(std::string_view hex, std::vector<uint8_t>* out) {
  if (hex.size() % 2 != 0) return false;
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  out->clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    int hi = digit(hex[i]), lo = digit(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out->push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
  return true;
}

bool IsHex(std::string_view s) {
  std::vector<uint8_t> ignored;
  return HexToBytes(s, &ignored);
}


// The key of a WPA/WPA2-PSK document into `s`.
std::optional<TranslateResult> ReadPsk(const pugi::xml_node& security, WifiSettings* s) {
  const pugi::xml_node sharedKey = Child(security, "sharedKey");
  const std::string_view keyType = Text(Child(sharedKey, "keyType"));
  const std::string key(Text(Child(sharedKey, "keyMaterial")));
  if (keyType == "passPhrase") {
    if (key.size() < 8 || key.size() > 63)
      return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH, "a passphrase has 8 to 63 characters");
    for (unsigned char c : key)
      if (c < 0x20 || c > 0x7E)
        return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_PASSPHRASE_CHAR, "a passphrase holds printable ASCII only");
  } else if (keyType == "networkKey") {
    if (key.size() != 64) return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH, "a network key has 64 hex digits");
    if (!IsHex(key)) return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_KEYMATERIAL_CHAR, "a network key is hexadecimal");
  } else {
    return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_WRONG_KEYTYPE, "WPA-PSK without a passphrase or network key");
  }
  s->keyMgmt = "wpa-psk";
  s->psk = key;
  return std::nullopt;
}

// The key and index of a static WEP document into `s`.
std::optional<TranslateResult> ReadWepKey(const pugi::xml_node& security, WifiSettings* s) {
  const pugi::xml_node sharedKey = Child(security, "sharedKey");
  if (Text(Child(sharedKey, "keyType")) != "networkKey")
    return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_WRONG_KEYTYPE, "WEP without a network key");
  const std::string key(Text(Child(sharedKey, "keyMaterial")));
  if (key.size() == 10 || key.size() == 26) {
    if (!IsHex(key))
      return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_KEYMATERIAL_CHAR, "a WEP key of 10 or 26 characters is hexadecimal");
  } else if (key.size() != 5 && key.size() != 13) {
    return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_KEY_LENGTH, "a WEP key has 5 or 13 characters or 10 or 26 hex digits");
  }
  const std::string_view index = Text(Child(security, "keyIndex"));
  if (index.size() > 1 || (index.size() == 1 && (index[0] < '0' || index[0] > '3')))
    return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_KEY_INDEX, "a WEP key index is 0 to 3");
  s->keyMgmt = "none";
  s->wepKey = key;
  s->wepKeyIndex = index.empty() ? 0 : static_cast<uint32_t>(index[0] - '0');
  return std::nullopt;
}

// The OneX element's EAP configuration into `s`.
std::optional<TranslateResult> ReadOneX(const pugi::xml_node& security, WifiSettings* s) {
  const pugi::xml_node oneX = Child(security, "OneX");
  if (!oneX) return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA, "802.1X without its OneX element");
  std::ostringstream text;
  oneX.print(text, "", pugi::format_raw);
  EapTranslation eap = TranslateEapConfig(text.str());
  if (eap.reasonCode != 0) return Refuse(eap.reasonCode, std::move(eap.why));
  s->oneX = true;
  s->eap = std::move(eap.settings);
  return std::nullopt;
}

}  // namespace

TranslateResult TranslateProfile(const std::string& profileXml) {
  if (profileXml.size() > kMaxProfileXml)
    return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA, "the document is too long");
  pugi::xml_document doc;
  if (!doc.load_buffer(profileXml.data(), profileXml.size(), pugi::parse_default, pugi::encoding_utf8))
    return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA, "the document is not XML");
  const pugi::xml_node root = Child(doc, "WLANProfile");
  if (!root) return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA, "not a WLAN profile");

  TranslateResult r;
  WifiSettings& s = r.settings;
  s.profileName = Text(Child(root, "name"));
  if (s.profileName.empty() || s.profileName.size() > kMaxNameLength)
    return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_NAME, "the profile name is missing or too long");

  const pugi::xml_node ssidConfig = Child(root, "SSIDConfig");
  const pugi::xml_node ssid = Child(ssidConfig, "SSID");
  const std::string_view hex = Text(Child(ssid, "hex"));
  const std::string_view name = Text(Child(ssid, "name"));
  if (!hex.empty()) {
    if (!HexToBytes(hex, &s.ssid))
      return Refuse(WLAN_REASON_CODE_PROFILE_SSID_INVALID, "the SSID's hex form is not hexadecimal");
  } else {
    s.ssid.assign(name.begin(), name.end());
  }
  if (s.ssid.empty() || s.ssid.size() > kMaxSsidLength)
    return Refuse(WLAN_REASON_CODE_PROFILE_SSID_INVALID, "the SSID is empty or longer than 32 bytes");
  s.hidden = Text(Child(ssidConfig, "nonBroadcast")) == "true";

  const std::string_view type = Text(Child(root, "connectionType"));
  if (type != "ESS" && type != "IBSS")
    return Refuse(WLAN_REASON_CODE_INVALID_BSS_TYPE, "the connection type is not ESS or IBSS");
  s.adhoc = type == "IBSS";
  s.autoconnect = Text(Child(root, "connectionMode")) == "auto";

  const pugi::xml_node security = Child(Child(root, "MSM"), "security");
  if (!security) return Refuse(WLAN_REASON_CODE_MSM_SECURITY_MISSING, "the document has no security settings");
  const pugi::xml_node authEncryption = Child(security, "authEncryption");
  const std::string_view auth = Text(Child(authEncryption, "authentication"));
  const std::string_view cipher = Text(Child(authEncryption, "encryption"));
  const bool oneX = Text(Child(authEncryption, "useOneX")) == "true";
  if (Text(Child(Child(security, "sharedKey"), "protected")) == "true")
    return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET, "the key is encrypted for another host");

  const bool wpaCipher = cipher == "TKIP" || cipher == "AES";
  std::optional<TranslateResult> refused;
  if (auth == "open" && cipher == "none" && !oneX) return r;
  if ((auth == "open" || auth == "shared") && cipher == "WEP") {
    s.authAlg = std::string(auth);
    if (oneX) {
      refused = ReadOneX(security, &s);
      s.keyMgmt = "ieee8021x";  // dynamic WEP
    } else {
      refused = ReadWepKey(security, &s);
    }
  } else if ((auth == "WPAPSK" || auth == "WPA2PSK") && wpaCipher) {
    if (s.adhoc) return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET, "WPA-None (ad hoc WPA) has no counterpart");
    if (oneX) return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_ONEX_ENABLED, "WPA-PSK with 802.1X");
    refused = ReadPsk(security, &s);
  } else if ((auth == "WPA" || auth == "WPA2") && wpaCipher) {
    if (!oneX) return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_ONEX_DISABLED, "WPA without 802.1X");
    if (s.adhoc) return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET, "802.1X on an ad hoc network");
    refused = ReadOneX(security, &s);
    s.keyMgmt = "wpa-eap";
  } else {
    return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET,
                  "authentication \"" + std::string(auth) + "\" with \"" + std::string(cipher) +
                      "\" has no counterpart");
  }
  if (refused) return *refused;
  return r;
}

}  // namespace ov::wlan::nm
