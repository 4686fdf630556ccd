#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "nativewifi/wlansvc/wlan_types.h"
#include "sim/access_point.h"

// What an access point's beacon carries: the capability field, the information elements built
// from its settings (or taken from its captured beacon), its rate set and its PHY.
namespace ov::sim {

struct BeaconFields {
  uint16_t capability = 0;
  std::vector<uint8_t> elements;
  std::vector<uint16_t> rates;  // 500 kbit/s units, wlan::kBasicRateFlag for basic rates
  wlan::PhyType phyType = ov::dot11_phy_type_erp;
};

BeaconFields BuildBeacon(const AccessPointSpec& spec);

// The rate set of Supported Rates and Extended Supported Rates elements.
std::vector<uint16_t> RatesFromElements(std::span<const uint8_t> elements);

// The highest rate of a rate set in kbit/s, and the PHY rate of the access point's best HT
// configuration (MCS 7 on every stream, short guard interval) when it has one.
uint32_t MaxRateKbps(const AccessPointSpec& spec, const BeaconFields& beacon);

}  // namespace ov::sim
