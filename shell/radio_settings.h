#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "driver/oid/radio_records.h"
#include "driver/params/channel_plan.h"
#include "driver/wireless_mode.h"

// The radio settings an activation sends: the process-wide wireless mode, transmit-setting word,
// station configuration copy and region word, and the rules that compose them.
namespace ov {

using DesiredRateList = std::array<uint8_t, 8>;  // 500 kbit/s units, unused bytes 0

// The process-wide radio values (owned by the monitor, composed by LoadRadioSettings, sent by
// ActionExec and the advanced page).
struct RadioSettingsState {
  // WirelessMode (plan.wirelessMode, 5 at start), the region word with its two RegionChangeable
  // flags, the allowed channels: refreshed by every channel-plan check.
  ChannelPlanState plan;
  // The "TransmitSetting" word; nothing until composed (or read back from the driver), so that a
  // re-application never sends a word that was never loaded.
  std::optional<uint32_t> transmitSetting;
  // The StaConfig copy; nothing until loaded, for the same reason.
  std::optional<StaConfig> staConfig;
};

// The composition of the transmit-setting word from the registry word (when it could be read),
// the previous word, the wireless mode and byte 6 of the driver's HT PHY mode answer. Without a
// registry word the defaults 0xBA10 stand in: MCS 33, 40 MHz, short guard interval, STBC and
// transmit number 2.
constexpr uint32_t kDefaultTransmitSetting = 0xBA10;
uint32_t ComposeTransmitSetting(std::optional<uint32_t> registryWord, uint32_t previousWord,
                                WirelessMode mode, uint8_t htPhyByte6);

// The MCS field (bits 4-10) of a transmit-setting word.
constexpr uint32_t TransmitSettingMcs(uint32_t word) { return (word >> 4) & 0x7F; }

// The list LoadRadioSettings starts from before "TransRate" is read: 1, 2, 4 the 802.11b rates;
// the 802.11n modes none (their list is never sent from a loaded record); every other mode the
// mixed list.
DesiredRateList ProvisionalDesiredRates(WirelessMode mode);

// The list "TransRate" picks (nothing read: the provisional list).
DesiredRateList DesiredRatesForTransRate(WirelessMode mode, std::optional<int32_t> transRate,
                                         uint32_t transmitSetting);

// The list a re-application sends for the process-wide mode.
DesiredRateList ReapplyDesiredRates(WirelessMode mode, uint32_t transmitSetting);

// The 802.11n modes, whose desired rates are not sent from a loaded record.
constexpr bool SkipsDesiredRates(WirelessMode mode) { return IsHtWirelessMode(mode); }

}  // namespace ov
