#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "nativewifi/wlansvc/wlan_types.h"
#include "sim/access_point.h"
#include "sim/wapi_certificate_check.h"
#include "sim/wlan_profile_document.h"

// Whether a profile's security gets a station onto an access point: the same kind of security,
// the same key (PSK: the same pairwise master key, derived from a passphrase with PBKDF2-HMAC-
// SHA1, 4096 rounds, the SSID as salt; WEP: the same key at the same index) or an account the
// network's authentication server accepts.
namespace ov::sim {

// The IEEE 802.11i passphrase-to-key mapping: 32 bytes.
std::vector<uint8_t> PassphraseToPsk(const std::string& passphrase,
                                     const std::vector<uint8_t>& ssid);

struct ConnectionVerdict {
  uint32_t reasonCode = wlan::WLAN_REASON_CODE_SUCCESS;
  wlan::SecurityAttributes security;
};

// What the IHV extension has at hand for a WAPI certificate profile: the certificate the station
// installed (nothing when none) and the host's time.
struct WapiCertificateEvidence {
  std::optional<InstalledWapiCertificate> installed;
  int64_t unixSeconds = 0;
};

ConnectionVerdict JudgeConnection(const AccessPointSpec& ap, const ProfileDocument& profile,
                                  const std::optional<UserCredentials>& credentials,
                                  const WapiCertificateEvidence& wapi = {});

}  // namespace ov::sim
