#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "nativewifi/wlansvc/wlan_types.h"

// An access point as NetworkManager describes it, rebuilt into the scan entry the service's
// BSS list gives, so that the decoder and the survey read it unchanged.
namespace ov::wlan::nm {

struct AccessPointProperties {
  std::vector<uint8_t> ssid;
  std::string hwAddress;     // "AA:BB:CC:DD:EE:FF"
  uint32_t frequencyMHz = 0;
  uint32_t maxBitrateKbps = 0;
  uint32_t mode = 0;         // NM80211Mode
  uint8_t strength = 0;      // percent
  uint32_t flags = 0;        // NM80211ApFlags
  uint32_t wpaFlags = 0;     // NM80211ApSecurityFlags
  uint32_t rsnFlags = 0;
};

// What each field is built from:
// - ssid, bssid (HwAddress; a malformed one gives all zero), centre frequency (Frequency);
// - linkQuality = Strength, rssi = Strength / 2 - 100 (the inverse of the host's quality scale);
// - bssType: independent for ad hoc mode, else infrastructure; capability: ESS or IBSS, and
//   Privacy when Flags says so;
// - phyType: ht above 54 Mbit/s, else ofdm at 5 GHz and erp at 2.4 GHz;
// - elements: SSID; DS parameter set (channel of the frequency, 2.4 GHz only); RSN from RsnFlags
//   and the WPA vendor element from WpaFlags, each with the group cipher, the pairwise ciphers
//   and the key managements the flags name (NetworkManager gives no order, count or
//   capabilities: pairwise CCMP before TKIP, RSN capabilities 0).
// Rates, beacon period, TSF and the other elements are not known: no rates, period 100, 0.
BssEntry BssEntryFromAccessPoint(const AccessPointProperties& ap);

// The available-network list of a scan: one network per SSID, BSS type and security, with its
// number of BSSs, PHY types, best quality, and the default algorithms its flags announce (RSN
// ahead of WPA, PSK ahead of 802.1X, CCMP ahead of TKIP; WEP for privacy alone). The network
// whose SSID is `connectedSsid` (when given) is marked connected. No profile entries: the
// utility's own connections are not matched to networks.
std::vector<AvailableNetwork> AvailableNetworksFromAccessPoints(const std::vector<AccessPointProperties>& aps,
                                                                const std::vector<uint8_t>* connectedSsid);

// The channel of a centre frequency (2.4 GHz 1..14, 5 GHz, 6 GHz); 0 when none.
uint32_t ChannelOfFrequency(uint32_t frequencyMHz);

}  // namespace ov::wlan::nm
