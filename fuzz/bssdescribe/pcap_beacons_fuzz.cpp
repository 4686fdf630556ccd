// The capture reader over arbitrary files: whatever the record lengths and radio headers say,
// every frame it takes must come out as a well-formed scan-list entry.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "driver/oid/bssid_list.h"
#include "views/bss_describe.h"
#include "views/pcap_beacons.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ov::PcapBeacons beacons;
  std::string error;
  if (!ov::ParsePcapBeacons(std::span<const uint8_t>(data, size), beacons, error)) return 0;
  for (const ov::CapturedBss& frame : beacons.frames) {
    ov::NDIS_WLAN_BSSID_EX fixed;
    if (!ov::DecodeNdisWlanBssidEx(frame.entry, fixed) || fixed.Length != frame.entry.size() ||
        fixed.IELength + ov::kNdisWlanBssidExFixedSize != frame.entry.size()) {
      std::abort();
    }
    ov::DescribeBss(frame.entry, ov::kBssFormHt);
  }
  return 0;
}
