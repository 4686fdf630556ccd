#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "driver/oid/bssid_list.h"
#include "driver/oid/wps_records.h"

// The WPS access points of a scan list: the rows of the WPS page's AP list and of
// `ovuictl wps`, and the start record of a PIN run aimed at one of them.
namespace ov {

struct WpsApRow {
  std::string ssid;
  MacAddress bssid{};
  uint32_t channel = 0;
  uint16_t passwordId = 0;
  std::string idText;  // "ID : 0x%04X"
  bool pushButton = false;
  bool setupLocked = false;
  std::vector<uint8_t> entry;  // the scan entry, for the AP detail window
};

// One row per scan entry that carries a WPS element, in scan order.
std::vector<WpsApRow> WpsApRowsFromScan(std::span<const uint8_t> bssidListBuffer);

// The start record of a run: PBC with zeros for the access point; PIN aimed at `row`.
WpsStart MakePbcStart(uint8_t role);
WpsStart MakePinStart(const WpsApRow& row, uint32_t pin, uint8_t role);

}  // namespace ov
