#include "nativewifi/scan_to_bssid_list.h"

#include <algorithm>
#include <set>
#include <string_view>

namespace ov {

namespace {

constexpr uint16_t kCapabilityPrivacy = 1u << 4;
// A rate octet holds the rate in its low seven bits; bit 7 marks a basic rate.
constexpr uint16_t kRateValueMask = 0x7FFF;
constexpr uint16_t kLargestOctetRate = 0x7F;
constexpr uint8_t kBasicRateBit = 0x80;

std::vector<uint8_t> RateOctets(const std::vector<uint16_t>& rates) {
  std::vector<uint8_t> octets;
  for (uint16_t rate : rates) {
    const uint16_t value = rate & kRateValueMask;
    // Zero is no rate; a rate beyond 63.5 Mbit/s has no octet form and would read as another.
    if (value == 0 || value > kLargestOctetRate) continue;
    octets.push_back(static_cast<uint8_t>(value | ((rate & wlan::kBasicRateFlag) ? kBasicRateBit : 0)));
    if (octets.size() == kNdisRatesExSize) break;
  }
  return octets;
}

}  // namespace

uint32_t InfrastructureModeForBssType(wlan::BssType type) {
  switch (type) {
    case wlan::dot11_BSS_type_infrastructure: return Ndis802_11Infrastructure;
    case wlan::dot11_BSS_type_independent: return Ndis802_11IBSS;
    default: return Ndis802_11AutoUnknown;
  }
}

std::vector<uint8_t> BssEntryToBssidEntry(const wlan::BssEntry& bss) {
  const std::vector<uint8_t> rates = RateOctets(bss.rates);
  BssDescription d;
  d.bssid = bss.bssid;
  d.ssid = std::string_view(reinterpret_cast<const char*>(bss.ssid.bytes.data()), bss.ssid.bytes.size());
  d.privacy = (bss.capabilityInformation & kCapabilityPrivacy) != 0;
  d.rssi = bss.rssi;
  d.networkTypeInUse = NetworkTypeForPhy(bss.phyType, bss.centerFrequencyKHz);
  d.beaconPeriod = bss.beaconPeriod;
  d.dsConfigKHz = bss.centerFrequencyKHz;
  d.infrastructureMode = InfrastructureModeForBssType(bss.bssType);
  d.rates = rates;
  d.informationElements = bss.informationElements;
  return MakeBssidEntry(d);
}

ScanListFill ScanToBssidList(wlan::WlanService& service, wlan::ClientHandle handle,
                             const wlan::Guid& interfaceGuid, std::span<uint8_t> buffer) {
  BssidListWriter writer(buffer);
  ScanListFill fill;
  std::vector<wlan::AvailableNetwork> networks;
  fill.status = service.GetAvailableNetworkList(handle, interfaceGuid, 0, &networks);
  if (fill.status != ERROR_SUCCESS) return fill;

  std::set<MacAddress> listed;
  auto append = [&](const std::vector<wlan::BssEntry>& entries) {
    for (const wlan::BssEntry& bss : entries) {
      if (listed.count(bss.bssid)) continue;
      if (!writer.Append(BssEntryToBssidEntry(bss))) {
        fill.full = true;
        return;
      }
      listed.insert(bss.bssid);
    }
  };

  for (const wlan::AvailableNetwork& network : networks) {
    if (network.flags & wlan::WLAN_AVAILABLE_NETWORK_HAS_PROFILE) continue;
    std::vector<wlan::BssEntry> entries;
    if (service.GetNetworkBssList(handle, interfaceGuid, network.ssid, network.bssType,
                                  network.securityEnabled, &entries) != ERROR_SUCCESS) {
      continue;
    }
    append(entries);
    if (fill.full) break;
  }
  if (!fill.full) {
    std::vector<wlan::BssEntry> all;
    if (service.GetNetworkBssList(handle, interfaceGuid, std::nullopt, wlan::dot11_BSS_type_any,
                                  false, &all) == ERROR_SUCCESS) {
      append(all);
    }
  }
  fill.entries = writer.count();
  return fill;
}

void ScanListSlot::Publish(std::vector<uint8_t> list) {
  std::lock_guard lock(mutex_);
  list_ = std::move(list);
  ++generation_;
}

bool ScanListSlot::CopyTo(std::span<uint8_t> out) const {
  std::lock_guard lock(mutex_);
  if (generation_ == 0) return false;
  const size_t n = std::min(out.size(), list_.size());
  std::copy_n(list_.begin(), n, out.begin());
  std::fill(out.begin() + static_cast<ptrdiff_t>(n), out.end(), uint8_t{0});
  return true;
}

uint64_t ScanListSlot::generation() const {
  std::lock_guard lock(mutex_);
  return generation_;
}

}  // namespace ov
