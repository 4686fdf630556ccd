#include "cli/connect_record.h"

#include <algorithm>

#include "driver/ndis_types.h"
#include "driver/oid/bssid_list.h"
#include "nativewifi/eap_fast_blob.h"
#include "profiles/store_encoding.h"

namespace ov::cli {

namespace {

constexpr uint32_t kStaticPassword = 1;
constexpr size_t kSha1Length = 20;

// The survey's security classes (SurveySecurityCode).
constexpr int kClassNone = 0;
constexpr int kClassWpa = 1;
constexpr int kClassWpaPsk = 2;
constexpr int kClassWpaNone = 3;
constexpr int kClassWpa2 = 4;
constexpr int kClassWpa2Psk = 5;

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

// Mixed TKIP and AES networks take AES, as the security page presets them.
uint32_t PairwiseCipher(const survey::ChosenNetwork& network) {
  return network.cipherText == "TKIP" ? kCipherTkip : kCipherAes;
}

// 802.1X without a password: EAP-TLS or PEAP with an inner EAP-TLS certificate, or EAP-FAST with
// the dialog's default settings (no secret travels in them).
bool PutCredentialFreeEap(const survey::ChosenNetwork& network, const ConnectSecrets& secrets,
                          StationProfile& record, std::string* problem) {
  auto refuse = [&](const char* why) {
    if (problem) *problem = why;
    return false;
  };
  record.authMode = network.securityClass == kClassWpa ? kAuthWpa : kAuthWpa2;
  record.cipherMode = PairwiseCipher(network);
  record.use8021X = 1;
  if (secrets.identity.size() > kIdentityMaxLength) {
    return refuse("802.1X needs an identity (--identity) of at most 127 characters");
  }
  if (secrets.eap == EapChoice::Fast) {
    if (secrets.outerIdentity.size() > kEapFastTextMaxLength) {
      return refuse("the outer identity (--outer-identity) is at most 255 bytes");
    }
    EapFastSettings settings;  // the dialog's defaults: unauthenticated provisioning, MS-CHAP v2
    settings.outerIdentity = secrets.outerIdentity;
    record.authenProtocol = kEapFast;
    record.identity = secrets.identity;
    record.eapBlob = EncodeEapFastBlob(settings);
    return true;
  }
  if (secrets.identity.empty()) {
    return refuse("802.1X needs an identity (--identity) of at most 127 characters");
  }
  if (secrets.clientCertHash.size() != kSha1Length) {
    return refuse(secrets.eap == EapChoice::PeapTls
                      ? "PEAP-TLS needs a certificate of the personal folder (--certificate)"
                      : "EAP-TLS needs a certificate of the personal folder (--certificate)");
  }
  record.authenProtocol = secrets.eap == EapChoice::PeapTls ? kEapPeap : kEapTls;
  if (secrets.eap == EapChoice::PeapTls) record.tunnelProtocol = kInnerTls;
  record.identity = secrets.identity;
  record.tunnelIdentity = secrets.identity;
  record.useClientCert = 1;
  record.clientCertData = secrets.clientCertHash;
  return true;
}

}  // namespace

std::optional<EapChoice> ParseEapChoice(std::string_view text) {
  if (text == "peap") return EapChoice::Peap;
  if (text == "peap-gtc") return EapChoice::PeapGtc;
  if (text == "peap-tls") return EapChoice::PeapTls;
  if (text == "tls") return EapChoice::Tls;
  if (text == "leap") return EapChoice::Leap;
  if (text == "fast") return EapChoice::Fast;
  return std::nullopt;
}

std::optional<std::string> RefusedEapMethod(std::string_view text) {
  if (text == "ttls") {
    return "the wireless service takes no EAP-TTLS profile (its profiles carry no TTLS "
           "configuration)";
  }
  if (text == "md5") {
    return "the wireless service takes no MD5-Challenge profile (its profiles carry no MD5 "
           "configuration)";
  }
  return std::nullopt;
}

bool EapUsesCertificate(EapChoice eap) { return eap == EapChoice::Tls || eap == EapChoice::PeapTls; }

SecretKind SecretNeeded(const survey::ChosenNetwork& network, EapChoice eap) {
  switch (network.securityClass) {
    case kClassNone: return network.secured ? SecretKind::WepKey : SecretKind::None;
    case kClassWpaPsk:
    case kClassWpaNone:
    case kClassWpa2Psk: return SecretKind::Passphrase;
    case kClassWpa:
    case kClassWpa2:
      return EapUsesCertificate(eap) || eap == EapChoice::Fast ? SecretKind::None
                                                                : SecretKind::Password;
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

std::optional<std::span<const uint8_t>> FindHiddenNetwork(std::span<const uint8_t> scanList,
                                                          const std::optional<MacAddress>& bssid) {
  std::optional<std::span<const uint8_t>> best;
  int32_t bestRssi = 0;
  for (std::span<const uint8_t> entry : BssidListEntries(scanList)) {
    NDIS_WLAN_BSSID_EX fixed;
    if (!DecodeNdisWlanBssidEx(entry, fixed) || fixed.Ssid.SsidLength != 0 ||
        fixed.InfrastructureMode != Ndis802_11Infrastructure) {
      continue;
    }
    if (bssid && fixed.MacAddress != *bssid) continue;
    if (!best || fixed.Rssi > bestRssi) {
      best = entry;
      bestRssi = fixed.Rssi;
    }
  }
  return best;
}

std::optional<StationProfile> BuildConnectRecord(const survey::ChosenNetwork& network,
                                                 const std::optional<std::string>& hiddenSsid,
                                                 const ConnectSecrets& secrets, uint32_t psMode,
                                                 std::string* problem) {
  auto refuse = [&](const char* why) -> std::optional<StationProfile> {
    if (problem) *problem = why;
    return std::nullopt;
  };
  StationProfile record =
      survey::BuildDirectConnectProfile(network, hiddenSsid, static_cast<int32_t>(psMode));

  switch (SecretNeeded(network, secrets.eap)) {
    case SecretKind::None:
      if (network.securityClass == kClassNone) break;  // open: as the survey built it
      if (!PutCredentialFreeEap(network, secrets, record, problem)) return std::nullopt;
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
      if (network.securityClass == kClassWpaNone && record.networkType != 0) {
        return refuse("WPA-None is the security of ad hoc networks only");
      }
      // WPA with a pre-shared key in an ad hoc cell is WPA-None, however the cell names it.
      if (record.networkType == 0 && network.securityClass != kClassWpa2Psk) {
        record.authMode = kAuthWpaNone;
      } else {
        record.authMode = network.securityClass == kClassWpaPsk ? kAuthWpaPsk : kAuthWpa2Psk;
      }
      record.cipherMode = PairwiseCipher(network);
      record.psk = secrets.secret;
      break;
    case SecretKind::Password:
      if (secrets.identity.empty() || secrets.identity.size() > kIdentityMaxLength) {
        return refuse("802.1X needs an identity (--identity) of at most 127 characters");
      }
      if (secrets.secret.empty() || secrets.secret.size() > kIdentityMaxLength) {
        return refuse("the password must be 1 to 127 characters");
      }
      record.authMode = network.securityClass == kClassWpa ? kAuthWpa : kAuthWpa2;
      record.cipherMode = PairwiseCipher(network);
      record.use8021X = 1;
      record.identity = secrets.identity;
      record.passwordMode = kStaticPassword;
      if (secrets.eap == EapChoice::Leap) {
        record.authenProtocol = kEapLeap;
        record.password = secrets.secret;
      } else if (secrets.eap == EapChoice::PeapGtc) {
        // The static-password form: the inner identity and password travel in the profile.
        record.authenProtocol = kEapPeap;
        record.tunnelProtocol = kInnerGtc;
        record.tunnelIdentity = secrets.identity;
        record.tunnelPassword = secrets.secret;
      } else {
        record.authenProtocol = kEapPeap;
        record.tunnelProtocol = kInnerMsChapV2;
        record.tunnelIdentity = secrets.identity;
        record.tunnelPassword = secrets.secret;
      }
      break;
    case SecretKind::Unsupported:
      return refuse("WAPI networks are connected from the utility's window only");
  }
  return record;
}

}  // namespace ov::cli
