#include "nativewifi/nm/nm_access_point.h"

#include <algorithm>
#include <cstdio>

#include "nativewifi/nm/nm_codes.h"

namespace ov::wlan::nm {
namespace {

constexpr uint8_t kElementSsid = 0;
constexpr uint8_t kElementDsParameterSet = 3;
constexpr uint8_t kElementRsn = 48;
constexpr uint8_t kElementVendor = 221;
constexpr uint16_t kCapabilityEss = 0x0001;
constexpr uint16_t kCapabilityIbss = 0x0002;
constexpr uint16_t kCapabilityPrivacy = 0x0010;

// Suite types of the RSN and WPA elements (same numbers under both OUIs for these).
constexpr uint8_t kSuiteWep40 = 1;
constexpr uint8_t kSuiteTkip = 2;
constexpr uint8_t kSuiteCcmp = 4;
constexpr uint8_t kSuiteWep104 = 5;
constexpr uint8_t kAkm8021x = 1;
constexpr uint8_t kAkmPsk = 2;
constexpr uint8_t kAkmSae = 8;
constexpr uint8_t kAkmOwe = 18;

struct Suites {
  uint8_t group = 0;  // 0: none named
  std::vector<uint8_t> pairwise;
  std::vector<uint8_t> akm;
};

Suites SuitesOf(uint32_t sec, bool rsn) {
  Suites s;
  if (sec & kSecGroupCcmp) s.group = kSuiteCcmp;
  else if (sec & kSecGroupTkip) s.group = kSuiteTkip;
  else if (sec & kSecGroupWep104) s.group = kSuiteWep104;
  else if (sec & kSecGroupWep40) s.group = kSuiteWep40;
  if (sec & kSecPairCcmp) s.pairwise.push_back(kSuiteCcmp);
  if (sec & kSecPairTkip) s.pairwise.push_back(kSuiteTkip);
  if (sec & kSecKeyMgmt8021x) s.akm.push_back(kAkm8021x);
  if (sec & kSecKeyMgmtPsk) s.akm.push_back(kAkmPsk);
  if (rsn && (sec & kSecKeyMgmtSae)) s.akm.push_back(kAkmSae);
  if (rsn && (sec & kSecKeyMgmtOwe)) s.akm.push_back(kAkmOwe);
  return s;
}

void AppendSuite(std::vector<uint8_t>& body, bool rsn, uint8_t type) {
  if (rsn) body.insert(body.end(), {0x00, 0x0F, 0xAC, type});
  else body.insert(body.end(), {0x00, 0x50, 0xF2, type});
}

void AppendSuiteList(std::vector<uint8_t>& body, bool rsn, const std::vector<uint8_t>& types) {
  body.push_back(static_cast<uint8_t>(types.size()));
  body.push_back(0);
  for (uint8_t t : types) AppendSuite(body, rsn, t);
}

// The body of an RSN element, or of the WPA vendor element after its OUI and type.
std::vector<uint8_t> SecurityBody(uint32_t sec, bool rsn) {
  const Suites s = SuitesOf(sec, rsn);
  std::vector<uint8_t> body = {0x01, 0x00};  // version 1
  // A group suite must be present for the lists to follow; CCMP when NetworkManager names none.
  AppendSuite(body, rsn, s.group != 0 ? s.group : kSuiteCcmp);
  AppendSuiteList(body, rsn, s.pairwise);
  AppendSuiteList(body, rsn, s.akm);
  if (rsn) body.insert(body.end(), {0x00, 0x00});  // RSN capabilities
  return body;
}

void AppendElement(std::vector<uint8_t>& ies, uint8_t id, const std::vector<uint8_t>& body) {
  ies.push_back(id);
  ies.push_back(static_cast<uint8_t>(body.size()));
  ies.insert(ies.end(), body.begin(), body.end());
}

MacAddress ParseHwAddress(const std::string& text) {
  MacAddress mac{};
  unsigned b[6];
  char tail;
  if (text.size() != 17 ||
      std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &b[0], &b[1], &b[2], &b[3], &b[4],
                  &b[5], &tail) != 6)
    return mac;
  for (int i = 0; i < 6; ++i) mac[i] = static_cast<uint8_t>(b[i]);
  return mac;
}

}  // namespace

uint32_t ChannelOfFrequency(uint32_t f) {
  if (f == 2484) return 14;
  if (f >= 2412 && f <= 2472) return (f - 2407) / 5;
  if (f >= 5955 && f <= 7115) return (f - 5950) / 5;
  if (f >= 5000 && f < 5950) return (f - 5000) / 5;
  return 0;
}

BssEntry BssEntryFromAccessPoint(const AccessPointProperties& ap) {
  BssEntry e;
  const size_t ssidLength = std::min(ap.ssid.size(), kMaxSsidLength);
  e.ssid.bytes.assign(ap.ssid.begin(), ap.ssid.begin() + ssidLength);
  e.bssid = ParseHwAddress(ap.hwAddress);
  e.bssType = ap.mode == kModeAdhoc ? dot11_BSS_type_independent : dot11_BSS_type_infrastructure;
  const uint32_t strength = std::min<uint32_t>(ap.strength, 100);
  e.linkQuality = strength;
  e.rssi = static_cast<int32_t>(strength / 2) - 100;
  e.centerFrequencyKHz = ap.frequencyMHz * 1000;
  if (ap.maxBitrateKbps > 54000) e.phyType = dot11_phy_type_ht;
  else if (ap.frequencyMHz >= 5000) e.phyType = dot11_phy_type_ofdm;
  else if (ap.frequencyMHz != 0) e.phyType = dot11_phy_type_erp;
  e.capabilityInformation = e.bssType == dot11_BSS_type_independent ? kCapabilityIbss
                                                                     : kCapabilityEss;
  if (ap.flags & kApFlagsPrivacy) e.capabilityInformation |= kCapabilityPrivacy;

  std::vector<uint8_t>& ies = e.informationElements;
  AppendElement(ies, kElementSsid, e.ssid.bytes);
  if (ap.frequencyMHz < 5000) {
    if (uint32_t channel = ChannelOfFrequency(ap.frequencyMHz); channel != 0)
      AppendElement(ies, kElementDsParameterSet, {static_cast<uint8_t>(channel)});
  }
  if (ap.rsnFlags != 0) AppendElement(ies, kElementRsn, SecurityBody(ap.rsnFlags, true));
  if (ap.wpaFlags != 0) {
    std::vector<uint8_t> body = {0x00, 0x50, 0xF2, 0x01};
    const std::vector<uint8_t> rest = SecurityBody(ap.wpaFlags, false);
    body.insert(body.end(), rest.begin(), rest.end());
    AppendElement(ies, kElementVendor, body);
  }
  return e;
}

std::vector<AvailableNetwork> AvailableNetworksFromAccessPoints(const std::vector<AccessPointProperties>& aps,
                                                                const std::vector<uint8_t>* connectedSsid) {
  std::vector<AvailableNetwork> out;
  for (const AccessPointProperties& ap : aps) {
    const BssEntry bss = BssEntryFromAccessPoint(ap);
    const bool secured = (ap.flags & kApFlagsPrivacy) != 0;
    auto it = std::find_if(out.begin(), out.end(), [&](const AvailableNetwork& n) {
      return n.ssid == bss.ssid && n.bssType == bss.bssType && n.securityEnabled == secured;
    });
    if (it == out.end()) {
      AvailableNetwork n;
      n.ssid = bss.ssid;
      n.bssType = bss.bssType;
      n.securityEnabled = secured;
      const uint32_t rsn = ap.rsnFlags, wpa = ap.wpaFlags;
      const uint32_t sec = rsn ? rsn : wpa;
      if (sec & kSecKeyMgmtPsk)
        n.defaultAuth = rsn ? DOT11_AUTH_ALGO_RSNA_PSK : DOT11_AUTH_ALGO_WPA_PSK;
      else if (sec & kSecKeyMgmt8021x)
        n.defaultAuth = rsn ? DOT11_AUTH_ALGO_RSNA : DOT11_AUTH_ALGO_WPA;
      if (sec & kSecPairCcmp) n.defaultCipher = DOT11_CIPHER_ALGO_CCMP;
      else if (sec & kSecPairTkip) n.defaultCipher = DOT11_CIPHER_ALGO_TKIP;
      else if (secured) n.defaultCipher = DOT11_CIPHER_ALGO_WEP;
      if (connectedSsid && *connectedSsid == bss.ssid.bytes) n.flags |= WLAN_AVAILABLE_NETWORK_CONNECTED;
      out.push_back(std::move(n));
      it = out.end() - 1;
    }
    ++it->numberOfBssids;
    it->signalQuality = std::max(it->signalQuality, bss.linkQuality);
    if (std::find(it->phyTypes.begin(), it->phyTypes.end(), bss.phyType) == it->phyTypes.end())
      it->phyTypes.push_back(bss.phyType);
  }
  return out;
}

}  // namespace ov::wlan::nm
