#include "cli/connect_record.h"

#include <algorithm>

#include "driver/ndis_types.h"
#include "driver/oid/bssid_list.h"
#include "profiles/store_encoding.h"
#include "views/bss_describe.h"
#include "views/survey_rules.h"

namespace ov::cli {

namespace {

constexpr uint32_t kConnectPreamble = 2;
constexpr uint32_t kConnectRtsThreshold = 2347;

bool AllHex(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
}

bool PrintableAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// The WEP key bytes of a typed key, as the security page accepts it.
std::optional<std::vector<uint8_t>> WepKeyBytes(std::string_view key) {
  if ((key.size() == 10 || key.size() == 26) && AllHex(key)) return DecodeHexBytes(key);
  if (key.size() == kWepKey40Length || key.size() == kWepKey104Length) {
    return std::vector<uint8_t>(key.begin(), key.end());
  }
  return std::nullopt;
}

bool ValidPassphrase(std::string_view text) {
  if (text.size() == kPskMaxLength) return AllHex(text);
  return text.size() >= 8 && text.size() <= 63 && PrintableAscii(text);
}

}  // namespace

NetworkSecurity ScanEntrySecurity(std::span<const uint8_t> entry) {
  NetworkSecurity security;
  const std::string summary = DescribeBss(entry, kBssFormSecurity);
  const size_t split = summary.find(';');
  security.authText = summary.substr(0, split);
  if (split != std::string::npos) security.cipherText = summary.substr(split + 1);
  NDIS_WLAN_BSSID_EX fixed;
  DecodeNdisWlanBssidEx(entry, fixed);
  security.secured = fixed.Privacy != 0 || summary != "Unknown;None";
  security.securityClass = survey::SurveySecurityCode(security.authText);
  return security;
}

SecretKind SecretNeeded(const NetworkSecurity& security) {
  switch (security.securityClass) {
    case 0: return security.secured ? SecretKind::WepKey : SecretKind::None;
    case 2:
    case 5: return SecretKind::Passphrase;
    case 1:
    case 4: return SecretKind::Password;
    default: return SecretKind::Unsupported;
  }
}

std::optional<std::span<const uint8_t>> FindNetwork(std::span<const uint8_t> scanList,
                                                    std::string_view ssid) {
  std::optional<std::span<const uint8_t>> best;
  int32_t bestRssi = 0;
  for (std::span<const uint8_t> entry : BssidListEntries(scanList)) {
    NDIS_WLAN_BSSID_EX fixed;
    if (!DecodeNdisWlanBssidEx(entry, fixed) || NdisSsidText(fixed.Ssid) != ssid) continue;
    if (!best || fixed.Rssi > bestRssi) {
      best = entry;
      bestRssi = fixed.Rssi;
    }
  }
  return best;
}

std::optional<StationProfile> BuildConnectRecord(std::span<const uint8_t> entry,
                                                 const NetworkSecurity& security,
                                                 const ConnectSecrets& secrets, uint32_t psMode,
                                                 std::string* problem) {
  auto refuse = [&](const char* why) -> std::optional<StationProfile> {
    if (problem) *problem = why;
    return std::nullopt;
  };
  NDIS_WLAN_BSSID_EX fixed;
  if (!DecodeNdisWlanBssidEx(entry, fixed)) return refuse("the scan entry is malformed");

  StationProfile record;
  record.ssid = fixed.Ssid;
  record.networkType = fixed.InfrastructureMode == Ndis802_11IBSS ? 0 : 1;
  if (record.networkType == 1 && fixed.Ssid.SsidLength != 0) {
    record.bssid = fixed.MacAddress;
    record.useBssid = 1;
  }
  record.channelFrequency = fixed.Configuration.DSConfig;
  record.preambleType = kConnectPreamble;
  record.rtsThreshold = kConnectRtsThreshold;
  record.powerSave = psMode;
  record.connectRequested = 1;

  switch (SecretNeeded(security)) {
    case SecretKind::None:
      record.authMode = kAuthOpen;
      record.cipherMode = kCipherNone;
      break;
    case SecretKind::WepKey: {
      auto key = WepKeyBytes(secrets.secret);
      if (!key) return refuse("a WEP key is 5 or 13 characters, or 10 or 26 hexadecimal digits");
      record.authMode = kAuthOpen;
      record.cipherMode = kCipherWep;
      record.wepKeys[0] = KeyBlock{kTransmitKeyBit, std::move(*key)};
      break;
    }
    case SecretKind::Passphrase:
      if (!ValidPassphrase(secrets.secret)) {
        return refuse("a passphrase is 8 to 63 printable characters, or 64 hexadecimal digits");
      }
      record.authMode = security.securityClass == 2 ? kAuthWpaPsk : kAuthWpa2Psk;
      record.cipherMode = security.cipherText == "TKIP" ? kCipherTkip : kCipherAes;
      record.psk = secrets.secret;
      break;
    case SecretKind::Password:
      if (secrets.identity.empty() || secrets.identity.size() > kIdentityMaxLength) {
        return refuse("802.1X needs an identity (--identity) of at most 127 characters");
      }
      if (secrets.secret.empty() || secrets.secret.size() > kIdentityMaxLength) {
        return refuse("the password must be 1 to 127 characters");
      }
      record.authMode = security.securityClass == 1 ? kAuthWpa : kAuthWpa2;
      record.cipherMode = security.cipherText == "TKIP" ? kCipherTkip : kCipherAes;
      record.use8021X = 1;
      record.authenProtocol = kEapPeap;
      record.tunnelProtocol = kInnerMsChapV2;
      record.identity = secrets.identity;
      record.tunnelIdentity = secrets.identity;
      record.tunnelPassword = secrets.secret;
      record.passwordMode = 1;
      break;
    case SecretKind::Unsupported:
      return refuse("WPA-None and WAPI networks are connected from the utility's window only");
  }
  return record;
}

}  // namespace ov::cli
