#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "driver/chip_family.h"
#include "driver/oid_requester.h"
#include "driver/params/registry_writer.h"
#include "driver/wireless_mode.h"

// The channel-plan check made at adapter set-up, after a country-region set and by the advanced
// page: the driver's country-region word decides which regions may be changed and which channels
// are allowed, and the adapter's "Channel" is kept only when it is allowed.
namespace ov {

// The region word as the process keeps it, with its two permissions.
struct RegionState {
  uint32_t regionWord = 0;        // bits 0-6 the 2.4 GHz code, bits 8-14 the 5 GHz code
  bool regionChangeable24 = false;
  bool regionChangeable5 = false;
  bool operator==(const RegionState&) const = default;
};

// Step 1 on a word the driver answered: a band whose fixed bit (7) is set, or every band when
// the ShowCountryRegion option is off, is fixed; the fixed bits are cleared from the kept word.
RegionState ApplyRegionRule(uint32_t driverRegionWord, bool showCountryRegion);

// The 2.4 GHz channels of region code `region` (bits 0-6) for a family; empty for families
// without a 2.4 GHz table.
std::vector<uint32_t> Channels24(int32_t chipFamily, uint32_t region);
// The 5 GHz channels of region code `region` (bits 8-14 of the word, shifted down).
std::vector<uint32_t> Channels5(int32_t chipFamily, uint32_t region);

// Steps 3 and 4: the 2.4 GHz channels unless the mode is 5 GHz only, then the 5 GHz channels
// when the mode includes that band (2, 3, 5, 8).
std::vector<uint32_t> BuildAllowedChannels(int32_t chipFamily, WirelessMode mode,
                                           uint32_t regionWord);

// Step 5: "Channel" stays when allowed and is copied to "Default\Channel"; otherwise the first
// allowed channel (0 for an empty list) is written to both. Returns the channel now configured.
uint32_t ReconcileChannel(RegistryWriter& writer, const std::string& adapterKeyPath,
                          const std::vector<uint32_t>& allowed);

// Everything the check reads besides the registry and the driver.
struct ChannelPlanInputs {
  int32_t chipFamily = CHIP_FAMILY_NONE;
  bool showCountryRegion = false;  // program INI option
  bool aBandCapable = false;
  bool htCapable = false;
};

// The process-wide values the check refreshes (owned by the monitor).
struct ChannelPlanState {
  RegionState region;
  WirelessMode wirelessMode = WIRELESS_MODE_ABGN_MIXED;  // the value at start
  std::vector<uint32_t> allowedChannels;
  uint32_t channel = 0;
};

// The whole check: query the region word (a failed query keeps the previous word and
// permissions), read and normalise "WirelessMode", build the allowed list, reconcile "Channel".
void RunChannelPlanCheck(OidRequester& driver, RegistryWriter& writer,
                         const std::string& adapterKeyPath, const ChannelPlanInputs& inputs,
                         ChannelPlanState& state);

}  // namespace ov
