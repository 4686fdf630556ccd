#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/system/mac_address.h"
#include "views/bss_describe.h"

// What the AP detail window shows of one scan-list entry, tab by tab, as plain texts: the window
// lays them out. Everything comes from the entry's fixed part and DescribeBss's four forms.
namespace ov {
class CHTTable;
}

namespace ov::ap_detail {

struct GeneralTab {
  std::string ssid;
  std::string macAddress;       // "%02X-%02X-%02X-%02X-%02X-%02X"
  std::string authentication;   // the auth half of the security summary
  std::string encryption;       // the cipher half; "WEP" for "None" with the privacy bit
  std::string channel;          // "%u <--> %d MHz"; "%d MHz" for an unlisted frequency
  std::string networkType;      // "Infrastructure", "IBSS" or "Unknown"
  std::string beaconInterval;   // "%d" time units
  int signalPercent = 0;        // RssiToPercent of the entry's RSSI
  uint32_t signalColour = 0;    // 0x00BBGGRR
};

struct CcxTab {
  std::string cckm, cmic, ckip;  // "TRUE"/"FALSE"
};

struct WpsTab {
  std::string authentication, encryption;  // as on the General tab
  // Config Methods, Device Password ID (empty for "Unknown"), Selected Registrar, State,
  // Version, AP Setup Locked, UUID-E, RF Bands.
  std::array<std::string, kBssWpsFieldCount - 1> fields;
};

// One line of the 802.11n tab's two-column tree: a heading (empty value) or a property under
// the last heading.
struct HtTreeRow {
  bool heading = false;
  std::string property;
  std::string value;
};

struct ApDetail {
  GeneralTab general;
  std::string rates;  // the rates box, labels included
  CcxTab ccx;
  WpsTab wps;
  std::vector<HtTreeRow> htTree;
  bool showHtTab = false;  // the entry carries HT information
};

// Each SupportedRates octet without its basic-rate bit, in 500 kbit/s, up to the first that is
// zero, ascending: "1, 2, 5.5, 11". Empty when there is none.
std::string SupportedRatesText(std::span<const uint8_t> supportedRates);

// The highest CHTTable rate of the MCS indexes set in `mcsSet` at the given width (40 MHz or 20)
// and guard interval; nothing when no set bit has a rate.
std::optional<double> HighestHtRate(const std::array<uint8_t, kHtMcsSetSize>& mcsSet, bool width40,
                                    bool shortGi, const CHTTable& table);

// The General tab's signal bar colour (0x00BBGGRR): red up to 34, yellow below 70, green above.
uint32_t SignalColour(int percent);

// The tree of the 802.11n tab from the fifty-five form-3 fields; every property "n/a" when the
// fields are not there (fewer than 55, or field 54 not "TRUE").
std::vector<HtTreeRow> BuildHtTree(const std::vector<std::string>& htFields);

// Everything the window shows of one entry (its bytes from the Length field on). An entry too
// short for its fixed part gives blank General texts and the decoder's empty results.
ApDetail DescribeApDetail(std::span<const uint8_t> entry, const CHTTable& table);

// The scan-list entry a survey row points at: the one at `listIndex` when it still has the
// row's BSSID, else the first with that BSSID (the list was rewritten meanwhile); nothing when
// the BSSID is gone.
std::optional<std::span<const uint8_t>> FindScanEntry(std::span<const uint8_t> list, size_t listIndex,
                                                      const MacAddress& bssid);

}  // namespace ov::ap_detail
