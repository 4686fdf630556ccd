#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "nativewifi/station_profile.h"
#include "views/survey_connect.h"

// What `ovuictl connect` adds to the site survey's Connect, without the windows: the network a
// scan offers for an SSID (a hidden one too), the secret its security needs, and that security on
// the survey's record (survey::BuildDirectConnectProfile, the one builder of such records).
namespace ov::cli {

// The EAP method of an 802.1X network (--eap): PEAP with MS-CHAP v2, PEAP with a static GTC
// password, PEAP with an inner EAP-TLS certificate, EAP-TLS, LEAP, and EAP-FAST with the
// settings the EAP host's dialog gives by default (the command cannot show that dialog).
enum class EapChoice { Peap, PeapGtc, PeapTls, Tls, Leap, Fast };
std::optional<EapChoice> ParseEapChoice(std::string_view text);
// Why a method name the command knows of is not offered (TTLS, MD5-Challenge: the profile
// builder writes no configuration for them, so the service would refuse the profile); nothing
// for any other name.
std::optional<std::string> RefusedEapMethod(std::string_view text);
// The method takes a certificate of the personal folder (--certificate) instead of a password.
bool EapUsesCertificate(EapChoice eap);

// What the user must give for a network.
enum class SecretKind {
  None,         // an open network, 802.1X with a client certificate (EAP-TLS, PEAP-TLS), EAP-FAST
  WepKey,       // 5 or 13 characters, or 10 or 26 hexadecimal digits
  Passphrase,   // WPA-PSK / WPA2-PSK / ad hoc WPA-None: 8 to 63 characters, or 64 hexadecimal digits
  Password,     // WPA / WPA2 with 802.1X (PEAP with MS-CHAP v2 or GTC, LEAP): identity and password
  Unsupported,  // WAPI: not connected from the command line
};

SecretKind SecretNeeded(const survey::ChosenNetwork& network, EapChoice eap);

// The scan entry with exactly this SSID and the strongest signal; none when no entry has it.
std::optional<std::span<const uint8_t>> FindNetwork(std::span<const uint8_t> scanList,
                                                    std::string_view ssid);
// The strongest infrastructure entry that hides its SSID, or the one with `bssid`; none when the
// scan has no such entry.
std::optional<std::span<const uint8_t>> FindHiddenNetwork(std::span<const uint8_t> scanList,
                                                          const std::optional<MacAddress>& bssid);

struct ConnectSecrets {
  std::string secret;    // the WEP key, passphrase or password
  std::string identity;  // 802.1X only
  EapChoice eap = EapChoice::Peap;
  std::vector<uint8_t> clientCertHash;  // EAP-TLS, PEAP-TLS: SHA-1 of the user's certificate
  std::string outerIdentity;            // EAP-FAST: the dialog's outer identity; empty "anonymous"
};

// The survey's record for `network` (named `hiddenSsid` when it hides its name) with the security
// the network reports and the given secrets. Nothing, with `problem` set, when a secret does not
// fit its kind.
std::optional<StationProfile> BuildConnectRecord(const survey::ChosenNetwork& network,
                                                 const std::optional<std::string>& hiddenSsid,
                                                 const ConnectSecrets& secrets, uint32_t psMode,
                                                 std::string* problem);

}  // namespace ov::cli
