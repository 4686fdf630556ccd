#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace ov::cli {

// `ovuictl scan [--json] [--adapter NAME]`: asks the wireless service for a scan through the
// utility's wireless client, waits for the scan list the scan worker builds, and prints one row
// per BSS as the site survey lists it (SSID, BSSID, channel, signal in dBm and percent, security,
// WPS, HT); --json gives every form of the element decoder for each entry. The adapter is the one
// the utility finds (or the service interface named NAME).
int RunScanCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ov::cli
