#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "views/pcap_beacons.h"

// The scan-list entries of every beacon and probe response in the test captures, in file
// order: the realistic element sets the view benchmarks fill their lists with. Ends the
// program when a capture cannot be read (OVUI_TEST_DATA names the folder).
namespace ov::bench {

inline std::vector<std::vector<uint8_t>> CapturedBeaconEntries() {
  std::vector<std::vector<uint8_t>> entries;
  for (const char* file : {"test1.pcap", "wep.open.system.authentication.cap", "wpa-psk-linksys.cap", "wpa.cap"}) {
    PcapBeacons beacons;
    std::string error;
    if (!ReadPcapBeacons(std::string(OVUI_TEST_DATA) + "/captures/" + file, beacons, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::exit(1);
    }
    for (auto& frame : beacons.frames) entries.push_back(std::move(frame.entry));
  }
  return entries;
}

}  // namespace ov::bench
