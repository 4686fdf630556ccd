#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace ov::cli {

// `ovuictl decode FILE.pcap [--json]`: turns the beacons and probe responses of a capture into
// the scan list the utility would hold, one entry per BSS, and prints each entry as the site
// survey lists it (SSID, BSSID, channel, signal, security, WPS, HT); --json gives every form of
// the element decoder for each entry.
int RunDecodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ov::cli
