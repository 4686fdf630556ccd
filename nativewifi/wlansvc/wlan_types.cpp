#include "nativewifi/wlansvc/wlan_types.h"
#include "platform/system/hex_text.h"

#include <cstdio>

namespace ov::wlan {

namespace {

// Text order of the GUID's bytes: Data1..Data3 are little-endian in memory, Data4 is not.
constexpr int kTextOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};

struct ReasonText {
  uint32_t code;
  const char* text;
};

constexpr ReasonText kReasonTexts[] = {
    {WLAN_REASON_CODE_SUCCESS, "The operation was successful."},
    {WLAN_REASON_CODE_UNKNOWN, "The wireless service stopped answering."},
    {WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE, "The network is not compatible."},
    {WLAN_REASON_CODE_PROFILE_NOT_COMPATIBLE, "The profile is not compatible."},
    {WLAN_REASON_CODE_KEY_MISMATCH, "The network key does not match."},
    {WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE, "The network is not available."},
    {WLAN_REASON_CODE_PROFILE_CHANGED_OR_DELETED, "The profile was changed or deleted."},
    {WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET, "The security settings are not supported."},
    {WLAN_REASON_CODE_BSS_TYPE_UNMATCH, "The network type does not match."},
    {WLAN_REASON_CODE_USER_CANCELLED, "The user cancelled the connection."},
    {WLAN_REASON_CODE_ASSOCIATION_FAILURE, "The association failed."},
    {WLAN_REASON_CODE_DRIVER_DISCONNECTED, "The driver disconnected."},
    {WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_KEY_INDEX, "The key index is not valid."},
    {WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_PRESENT, "A pre-shared key is not allowed with 802.1X."},
    {WLAN_REASON_CODE_MSMSEC_PROFILE_KEY_LENGTH, "The key length is not valid."},
    {WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH, "The pre-shared key length is not valid."},
    {WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_AUTH_CIPHER,
     "The authentication and cipher pair is not valid."},
    {WLAN_REASON_CODE_MSMSEC_PROFILE_ONEX_DISABLED, "802.1X is needed for this authentication."},
    {WLAN_REASON_CODE_MSMSEC_PROFILE_ONEX_ENABLED, "802.1X is not allowed for this authentication."},
    {WLAN_REASON_CODE_MSMSEC_PROFILE_PASSPHRASE_CHAR, "The passphrase has an invalid character."},
    {WLAN_REASON_CODE_MSMSEC_PROFILE_KEYMATERIAL_CHAR, "The key material has an invalid character."},
    {WLAN_REASON_CODE_MSMSEC_PROFILE_WRONG_KEYTYPE, "The key type is not valid for this cipher."},
    {WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED, "The pre-shared key does not match."},
    {ONEX_REASON_CODE_IDENTITY_NOT_FOUND, "No user credentials were found."},
    {ONEX_REASON_CODE_EAP_FAILURE_RECEIVED, "The network refused the credentials."},
    {ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE, "The network does not allow this EAP method."},
    {WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA, "The profile is not valid against the schema."},
    {WLAN_REASON_CODE_INVALID_PROFILE_NAME, "The profile name is not valid."},
    {WLAN_REASON_CODE_MSM_SECURITY_MISSING, "The security settings are missing."},
    {WLAN_REASON_CODE_IHV_OUI_MISMATCH, "The IHV organisation identifier does not match."},
    {WLAN_REASON_CODE_IHV_OUI_MISSING, "The IHV organisation identifier is missing."},
    {WLAN_REASON_CODE_SECURITY_MISSING, "The profile has no security settings."},
    {WLAN_REASON_CODE_INVALID_BSS_TYPE, "The network type is not valid."},
    {WLAN_REASON_CODE_INVALID_ADHOC_CONNECTION_MODE, "An ad hoc profile must connect manually."},
    {WLAN_REASON_CODE_NON_BROADCAST_SET_FOR_ADHOC, "An ad hoc profile cannot be non-broadcast."},
    {WLAN_REASON_CODE_AUTO_SWITCH_SET_FOR_ADHOC, "An ad hoc profile cannot switch automatically."},
    {WLAN_REASON_CODE_AUTO_SWITCH_SET_FOR_MANUAL_CONNECTION,
     "A manual profile cannot switch automatically."},
    {WLAN_REASON_CODE_PROFILE_SSID_INVALID, "The profile's SSID is not valid."},
};

}  // namespace

std::string ReasonCodeText(uint32_t reasonCode) {
  for (const ReasonText& r : kReasonTexts) {
    if (r.code == reasonCode) return r.text;
  }
  char text[48];
  std::snprintf(text, sizeof text, "Unknown reason code 0x%X", reasonCode);
  return text;
}

std::string FormatGuid(const Guid& guid) {
  std::string out = "{";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
    out += HexEncode(std::span<const uint8_t>(&guid[static_cast<size_t>(kTextOrder[i])], 1));
  }
  return out + "}";
}

std::optional<Guid> ParseGuid(std::string_view text) {
  static constexpr std::string_view kShape = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
  if (text.size() != kShape.size()) return std::nullopt;
  Guid guid{};
  int octet = 0;
  for (size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] != 'x') {
      if (text[i] != kShape[i]) return std::nullopt;
      continue;
    }
    int hi = HexDigitValue(text[i]);
    int lo = HexDigitValue(text[i + 1]);
    if (hi < 0 || lo < 0 || kShape[i + 1] != 'x') return std::nullopt;
    guid[static_cast<size_t>(kTextOrder[octet++])] = static_cast<uint8_t>(hi << 4 | lo);
    ++i;
  }
  return guid;
}

}  // namespace ov::wlan
