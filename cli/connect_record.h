#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "nativewifi/station_profile.h"

// What the site survey's Connect builds for a network of the scan list, without the windows:
// the network's security as the survey reads it from the scan entry, the secret it needs, and
// the station record the action queue applies.
namespace ov::cli {

struct NetworkSecurity {
  std::string authText;    // the element decoder's security summary, split at ';'
  std::string cipherText;
  bool secured = false;    // privacy set, or a summary other than "Unknown;None"
  int securityClass = 0;   // SurveySecurityCode of the auth text
};

NetworkSecurity ScanEntrySecurity(std::span<const uint8_t> entry);

// What the user must give for a network.
enum class SecretKind {
  None,         // an open network
  WepKey,       // 5 or 13 characters, or 10 or 26 hexadecimal digits
  Passphrase,   // WPA-PSK / WPA2-PSK: 8 to 63 characters, or 64 hexadecimal digits
  Password,     // WPA / WPA2 with 802.1X (PEAP with MS-CHAP v2): an identity and a password
  Unsupported,  // WPA-None, WAPI: not connected from the command line
};

SecretKind SecretNeeded(const NetworkSecurity& security);

// The scan entry with exactly this SSID and the strongest signal; none when no entry has it.
std::optional<std::span<const uint8_t>> FindNetwork(std::span<const uint8_t> scanList,
                                                    std::string_view ssid);

struct ConnectSecrets {
  std::string secret;    // the WEP key, passphrase or password
  std::string identity;  // 802.1X only
};

// The record the survey's Connect queues: SSID, BSSID (an infrastructure network), network type,
// channel, preamble 2, RTS threshold 2347, power saving `psMode`, and the security of the entry
// with the given secrets. Nothing, with `problem` set, when a secret does not fit its kind.
std::optional<StationProfile> BuildConnectRecord(std::span<const uint8_t> entry,
                                                 const NetworkSecurity& security,
                                                 const ConnectSecrets& secrets, uint32_t psMode,
                                                 std::string* problem);

}  // namespace ov::cli
