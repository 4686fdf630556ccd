#include "shell/radio_settings.h"

namespace ov {
namespace {

constexpr DesiredRateList kMixedRates = {108, 96, 72, 48, 22, 11, 4, 2};
constexpr DesiredRateList kOfdmRates = {108, 96, 72, 48, 36, 24, 18, 12};
constexpr DesiredRateList kCckRates = {22, 11, 4, 2, 0, 0, 0, 0};
constexpr DesiredRateList kHtAutoRates = kMixedRates;

constexpr uint8_t kOfdmSingle[] = {12, 18, 24, 36, 48, 72, 96, 108};
constexpr uint8_t kCckSingle[] = {2, 4, 11, 22};
constexpr uint8_t kAnySingle[] = {2, 4, 11, 22, 12, 18, 24, 36, 48, 72, 96, 108};

DesiredRateList Single(uint8_t rate) { return {rate, 0, 0, 0, 0, 0, 0, 0}; }

// 802.11n modes: the mixed list while the MCS is automatic (33), else the top legacy rate.
DesiredRateList HtRates(uint32_t transmitSetting) {
  return TransmitSettingMcs(transmitSetting) == kHtMcsAuto ? kHtAutoRates : Single(108);
}

template <size_t N>
std::optional<uint8_t> Pick(const uint8_t (&table)[N], std::optional<int32_t> index) {
  if (!index || *index < 1 || *index > static_cast<int32_t>(N)) return std::nullopt;
  return table[*index - 1];
}

}  // namespace

uint32_t ComposeTransmitSetting(std::optional<uint32_t> registryWord, uint32_t previousWord,
                                WirelessMode mode, uint8_t htPhyByte6) {
  const uint32_t modeBits = static_cast<uint32_t>(mode) & 0xF;
  const uint32_t byte6Bits = (uint32_t{htPhyByte6} & 3) << 18;
  if (registryWord) {
    return (*registryWord & 0x33FF0) | (previousWord & 0xFFF08000) | 0x8000 | modeBits | byte6Bits;
  }
  return (previousWord & 0xFFF0BA10) | kDefaultTransmitSetting | modeBits | byte6Bits;
}

DesiredRateList ProvisionalDesiredRates(WirelessMode mode) {
  if (mode == 1 || mode == 2 || mode == 4) return kCckRates;
  if (IsHtWirelessMode(mode)) return {};
  return kMixedRates;
}

DesiredRateList DesiredRatesForTransRate(WirelessMode mode, std::optional<int32_t> transRate,
                                         uint32_t transmitSetting) {
  if (!transRate) return ProvisionalDesiredRates(mode);
  if (IsHtWirelessMode(mode)) return HtRates(transmitSetting);
  if (mode == 2 || mode == 4) {
    if (auto rate = Pick(kOfdmSingle, transRate)) return Single(*rate);
    return kOfdmRates;
  }
  if (mode == 1) {
    if (auto rate = Pick(kCckSingle, transRate)) return Single(*rate);
    return kCckRates;
  }
  if (auto rate = Pick(kAnySingle, transRate)) return Single(*rate);
  return kMixedRates;
}

DesiredRateList ReapplyDesiredRates(WirelessMode mode, uint32_t transmitSetting) {
  if (mode == 2 || mode == 4) return kOfdmRates;
  if (mode == 1) return kCckRates;
  if (IsHtWirelessMode(mode)) return HtRates(transmitSetting);
  return kMixedRates;
}

}  // namespace ov
