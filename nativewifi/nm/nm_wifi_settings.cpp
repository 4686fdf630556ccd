#include "nativewifi/nm/nm_wifi_settings.h"

#include <pugixml.hpp>

#include "nativewifi/wlansvc/wlan_types.h"

namespace ov::wlan::nm {
namespace {

TranslateResult Refuse(uint32_t reason) {
  TranslateResult r;
  r.error = ERROR_BAD_PROFILE;
  r.reasonCode = reason;
  return r;
}

// A child by local name, whatever namespace prefix the document uses.
pugi::xml_node Child(pugi::xml_node node, const char* name) {
  for (pugi::xml_node c : node.children()) {
    std::string_view n = c.name();
    if (auto colon = n.find(':'); colon != std::string_view::npos) n = n.substr(colon + 1);
    if (n == name) return c;
  }
  return {};
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

}  // namespace

TranslateResult TranslateProfile(const std::string& profileXml) {
  if (profileXml.size() > kMaxProfileXml) return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA);
  pugi::xml_document doc;
  if (!doc.load_buffer(profileXml.data(), profileXml.size(), pugi::parse_default, pugi::encoding_utf8))
    return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA);
  const pugi::xml_node root = Child(doc, "WLANProfile");
  if (!root) return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA);

  TranslateResult r;
  WifiSettings& s = r.settings;
  s.profileName = Child(root, "name").text().as_string();
  if (s.profileName.empty() || s.profileName.size() > kMaxNameLength)
    return Refuse(WLAN_REASON_CODE_INVALID_PROFILE_NAME);

  const pugi::xml_node ssidConfig = Child(root, "SSIDConfig");
  const pugi::xml_node ssid = Child(ssidConfig, "SSID");
  const std::string hex = Child(ssid, "hex").text().as_string();
  const std::string name = Child(ssid, "name").text().as_string();
  if (!hex.empty()) {
    if (!HexToBytes(hex, &s.ssid)) return Refuse(WLAN_REASON_CODE_PROFILE_SSID_INVALID);
  } else {
    s.ssid.assign(name.begin(), name.end());
  }
  if (s.ssid.empty() || s.ssid.size() > kMaxSsidLength)
    return Refuse(WLAN_REASON_CODE_PROFILE_SSID_INVALID);
  s.hidden = std::string_view(Child(ssidConfig, "nonBroadcast").text().as_string()) == "true";

  const std::string_view type = Child(root, "connectionType").text().as_string();
  if (type != "ESS" && type != "IBSS") return Refuse(WLAN_REASON_CODE_INVALID_BSS_TYPE);
  s.adhoc = type == "IBSS";
  s.autoconnect = std::string_view(Child(root, "connectionMode").text().as_string()) == "auto";

  const pugi::xml_node security = Child(Child(root, "MSM"), "security");
  if (!security) return Refuse(WLAN_REASON_CODE_MSM_SECURITY_MISSING);
  const pugi::xml_node authEncryption = Child(security, "authEncryption");
  const std::string_view auth = Child(authEncryption, "authentication").text().as_string();
  const std::string_view cipher = Child(authEncryption, "encryption").text().as_string();
  const std::string_view oneX = Child(authEncryption, "useOneX").text().as_string();
  if (oneX == "true") return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET);

  if (auth == "open" && cipher == "none") return r;
  if ((auth == "WPAPSK" || auth == "WPA2PSK") && (cipher == "TKIP" || cipher == "AES")) {
    const pugi::xml_node sharedKey = Child(security, "sharedKey");
    const std::string_view keyType = Child(sharedKey, "keyType").text().as_string();
    const std::string key = Child(sharedKey, "keyMaterial").text().as_string();
    if (std::string_view(Child(sharedKey, "protected").text().as_string()) == "true")
      return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET);  // a host-encrypted key
    if (keyType == "passPhrase") {
      if (key.size() < 8 || key.size() > 63) return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH);
      for (unsigned char c : key)
        if (c < 0x20 || c > 0x7E) return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_PASSPHRASE_CHAR);
    } else if (keyType == "networkKey") {
      if (key.size() != 64) return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH);
      if (!IsHex(key)) return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_KEYMATERIAL_CHAR);
    } else {
      return Refuse(WLAN_REASON_CODE_MSMSEC_PROFILE_WRONG_KEYTYPE);
    }
    s.keyMgmt = "wpa-psk";
    s.psk = key;
    return r;
  }
  return Refuse(WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET);
}

}  // namespace ov::wlan::nm
