#include "wpspages/wps_ap_rows.h"

#include <algorithm>

#include "driver/channel_frequency.h"
#include "views/bss_describe.h"
#include "wps/wps_session_rules.h"

namespace ov {

namespace {
constexpr uint16_t kPushButtonPasswordId = 0x0004;
}

std::vector<WpsApRow> WpsApRowsFromScan(std::span<const uint8_t> bssidListBuffer) {
  std::vector<WpsApRow> rows;
  for (std::span<const uint8_t> entry : BssidListEntries(bssidListBuffer)) {
    NDIS_WLAN_BSSID_EX fixed;
    if (!DecodeNdisWlanBssidEx(entry, fixed)) continue;
    const BssElements elements = DecodeBssElements(entry);
    if (!elements.wpsPresent) continue;
    WpsApRow row;
    const size_t length = std::min<size_t>(fixed.Ssid.SsidLength, fixed.Ssid.Ssid.size());
    row.ssid.assign(fixed.Ssid.Ssid.begin(), fixed.Ssid.Ssid.begin() + length);
    std::copy(fixed.MacAddress.begin(), fixed.MacAddress.end(), row.bssid.begin());
    row.channel = FrequencyToChannel(fixed.Configuration.DSConfig);
    row.passwordId = elements.wpsDevicePasswordId.value_or(0);
    row.idText = WpsPasswordIdText(row.passwordId);
    row.pushButton = row.passwordId == kPushButtonPasswordId;
    row.setupLocked = elements.wpsApSetupLocked.value_or(false);
    row.entry.assign(entry.begin(), entry.end());
    rows.push_back(std::move(row));
  }
  return rows;
}

WpsStart MakePbcStart(uint8_t role) {
  WpsStart start;
  start.Mode = WPS_START_MODE_PBC;
  start.Role = role;
  return start;
}

WpsStart MakePinStart(const WpsApRow& row, uint32_t pin, uint8_t role) {
  WpsStart start;
  start.Mode = WPS_START_MODE_PIN;
  start.Pin = WpsPinDigits(pin);
  const size_t length = std::min(row.ssid.size(), start.Ssid.Ssid.size());
  start.Ssid.SsidLength = static_cast<uint32_t>(length);
  std::copy_n(row.ssid.begin(), length, start.Ssid.Ssid.begin());
  start.Bssid = row.bssid;
  start.Channel = static_cast<uint8_t>(row.channel);
  start.Role = role;
  return start;
}

}  // namespace ov
