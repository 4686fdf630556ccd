#include "radio/connection_restart.h"

#include <algorithm>

#include "driver/oid/bssid_list.h"
#include "nativewifi/native_wifi_client.h"

namespace ov {

namespace {


bool ScanListHasAdhocSsid(std::span<const uint8_t> scanList, const NDIS_802_11_SSID& ssid) {
  const size_t length = std::min<size_t>(ssid.SsidLength, ssid.Ssid.size());
  for (std::span<const uint8_t> bytes : BssidListEntries(scanList)) {
    NDIS_WLAN_BSSID_EX entry;
    if (!DecodeNdisWlanBssidEx(bytes, entry) || entry.InfrastructureMode != 0) continue;
    if (std::equal(ssid.Ssid.begin(), ssid.Ssid.begin() + length, entry.Ssid.Ssid.begin())) {
      return true;
    }
  }
  return false;
}

}  // namespace

LinkRestartPlan PlanLinkRestart(const RememberedLink& c, std::span<const uint8_t> scanList) {
  LinkRestartPlan request;
  request.bssType = c.bssType;
  request.adhocJoinOnly = c.bssType == wlan::dot11_BSS_type_independent && ScanListHasAdhocSsid(scanList, c.ssid);
  if (c.mode == wlan::wlan_connection_mode_profile || c.mode == wlan::wlan_connection_mode_auto) {
    request.mode = kConnectProfile;
    request.profileName = c.profileName;
    return request;
  }
  const bool secured = c.authAlgorithm != DOT11_AUTH_ALGO_80211_OPEN ||
                       c.cipherAlgorithm != DOT11_CIPHER_ALGO_NONE;
  request.mode = secured ? kConnectDiscoverySecure : kConnectDiscoveryUnsecure;
  const size_t length = std::min<size_t>(c.ssid.SsidLength, c.ssid.Ssid.size());
  request.ssid.bytes.assign(c.ssid.Ssid.begin(), c.ssid.Ssid.begin() + length);
  return request;
}

bool CipherNeedsReassociation(uint32_t cipher) {
  return cipher == DOT11_CIPHER_ALGO_TKIP || cipher == DOT11_CIPHER_ALGO_CCMP ||
         cipher == 0x80000001u || cipher == 0x80000002u;
}

std::optional<RememberedLink> RememberLink(NativeWifiClient& client) {
  if (!client.IsConnected()) return std::nullopt;
  RememberedLink c;
  client.GetConnectionMode(c.mode);
  client.GetProfileName(c.profileName);
  client.GetBssType(c.bssType);
  client.GetCurrentSsid(c.ssid);
  client.GetAuthAlgorithm(c.authAlgorithm);
  client.GetCipherAlgorithm(c.cipherAlgorithm);
  return c;
}

void RestartLink(NativeWifiClient& client, const RememberedLink& connection,
                       std::span<const uint8_t> scanList) {
  const LinkRestartPlan request = PlanLinkRestart(connection, scanList);
  client.Disconnect();
  client.Connect(request.mode, request.profileName, request.bssType, request.ssid,
                 ConnectFlags{request.adhocJoinOnly, false});
}

}  // namespace ov
