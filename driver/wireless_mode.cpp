#include "driver/wireless_mode.h"

namespace ov {

std::optional<uint32_t> WirelessModeToAdhocRateMode(WirelessMode mode) {
  switch (mode) {
    case WIRELESS_MODE_BG_MIXED:
      return 1;
    case WIRELESS_MODE_B_ONLY:
      return 0;
    case WIRELESS_MODE_A_ONLY:
      return 3;
    case WIRELESS_MODE_ABG_MIXED:
      return 4;
    case WIRELESS_MODE_G_ONLY:
      return 2;
    case WIRELESS_MODE_ABGN_MIXED:
    case WIRELESS_MODE_N_ONLY:
    case WIRELESS_MODE_AN_MIXED:
    case WIRELESS_MODE_BGN_MIXED:
      return static_cast<uint32_t>(mode);
    default:
      return std::nullopt;
  }
}

uint32_t WirelessModeToAdhocRateMode(WirelessMode mode, uint32_t currentField) {
  return WirelessModeToAdhocRateMode(mode).value_or(currentField);
}

}  // namespace ov
