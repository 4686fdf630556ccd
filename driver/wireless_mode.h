#pragma once
#include <cstdint>
#include <optional>

// Wireless-mode codes: the adapter's "WirelessMode" parameter and the driver's PHY mode.
namespace ov {

using WirelessMode = int32_t;

constexpr WirelessMode WIRELESS_MODE_BG_MIXED = 0;
constexpr WirelessMode WIRELESS_MODE_B_ONLY = 1;
constexpr WirelessMode WIRELESS_MODE_A_ONLY = 2;
constexpr WirelessMode WIRELESS_MODE_ABG_MIXED = 3;
constexpr WirelessMode WIRELESS_MODE_G_ONLY = 4;
constexpr WirelessMode WIRELESS_MODE_ABGN_MIXED = 5;  // 802.11n, both bands
constexpr WirelessMode WIRELESS_MODE_N_ONLY = 6;      // 802.11n
constexpr WirelessMode WIRELESS_MODE_7 = 7;           // chooses desired rates like code 0
constexpr WirelessMode WIRELESS_MODE_AN_MIXED = 8;    // 802.11n, 5 GHz
constexpr WirelessMode WIRELESS_MODE_BGN_MIXED = 9;   // 802.11n, 2.4 GHz

// Codes whose desired-rate list is the 802.11n one.
constexpr bool IsHtWirelessMode(WirelessMode mode) {
  return mode == 5 || mode == 6 || mode == 8 || mode == 9;
}

// The ad hoc rate mode of the station configuration record for a wireless mode. Codes outside
// the mapping leave the record's field as it was: nothing is returned for them.
std::optional<uint32_t> WirelessModeToAdhocRateMode(WirelessMode mode);
// The same, applied to the field's current value.
uint32_t WirelessModeToAdhocRateMode(WirelessMode mode, uint32_t currentField);

}  // namespace ov
