#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "driver/oid/ndis_records.h"
#include "nativewifi/wlansvc/wlan_types.h"

// Taking the current connection down and up again after a setting the driver applies only on
// association (WMM, direct link): what was connected is remembered first, then the connect is
// asked for the same way again: a profile connection by its profile, a discovery connection by
// SSID with the security it had.
namespace ov {

class NativeWifiClient;

// Named apart from the advanced page's reconnect records, which follow the same rule.
struct RememberedLink {
  uint32_t mode = 0;  // the service's connection mode (0 profile, 4 auto: by profile)
  std::string profileName;
  uint32_t bssType = 1;  // 1 infrastructure, 2 independent
  NDIS_802_11_SSID ssid;
  uint32_t authAlgorithm = 0;
  uint32_t cipherAlgorithm = 0;
};

// What the connect request carries.
struct LinkRestartPlan {
  uint32_t mode = 0;
  std::string profileName;
  uint32_t bssType = 1;
  wlan::Ssid ssid;
  bool adhocJoinOnly = false;
  bool operator==(const LinkRestartPlan&) const = default;
};

// An ad hoc network is joined, never started again, when the scan list (BssidListBuffer) holds an
// ad hoc entry whose first SSID-length bytes are the remembered SSID's.
LinkRestartPlan PlanLinkRestart(const RememberedLink& connection,
                               std::span<const uint8_t> scanList);

// The ciphers whose keys the driver derives at association: TKIP, CCMP and the two vendor ones.
bool CipherNeedsReassociation(uint32_t cipherAlgorithm);

// The current connection, when the client reports one.
std::optional<RememberedLink> RememberLink(NativeWifiClient& client);

// Disconnect, then connect as planned.
void RestartLink(NativeWifiClient& client, const RememberedLink& connection,
                       std::span<const uint8_t> scanList);

}  // namespace ov
