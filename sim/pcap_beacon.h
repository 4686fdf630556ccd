#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sim/access_point.h"

// A beacon or probe response out of a capture file (pcap, microsecond or nanosecond, either
// byte order) with link type 105 (802.11 frames), 127 (radiotap header first) or 119 (Prism
// header first), for an access point that sends what was captured. The radio headers are read
// by the scan-list decoder's capture reader (views/pcap_beacons.h).
namespace ov::sim {

// The `index`-th beacon or probe response (counting from 0) of the capture's bytes. Elements
// are cut after the last whole element, so a frame check sequence at the end is not taken
// for one. False with *error set when the file is not such a capture or has too few frames.
bool ReadBeaconFromPcap(std::span<const uint8_t> file, uint32_t index, CapturedBeacon* beacon,
                        std::string* error);
bool ReadBeaconFromPcapFile(const std::string& path, uint32_t index, CapturedBeacon* beacon,
                            std::string* error);

// The element with `id` in an element run, or an empty span.
std::span<const uint8_t> FindElement(std::span<const uint8_t> elements, uint8_t id);

}  // namespace ov::sim
