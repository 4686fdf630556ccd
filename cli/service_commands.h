#pragma once
#include <chrono>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "nativewifi/wlansvc/wlan_service.h"

// The commands over the wireless service alone, for adapters without a vendor driver
// (NetworkManager's): status, connect and the service's profile list. `ovuictl scan` needs no
// version of its own (it only reads the service). The interface is the one described as
// `adapter`, else the service's first.
namespace ov::cli {

// The interfaces, their states, and the chosen one's connection and radio.
int RunServiceStatus(wlan::WlanService& service, const std::vector<std::string>& args, std::ostream& out,
                     std::ostream& err);

// Scans, takes the strongest BSS with exactly the SSID and connects with a profile for the
// security the scan reports: open, WEP (its key) or WPA/WPA2-PSK (the passphrase), the secret
// read as ovuictl connect reads it (`secretInput` instead of the terminal when given). 802.1X
// networks need a profile made in the utility. Waits up to `wait` for the end.
int RunServiceConnect(wlan::WlanService& service, const std::vector<std::string>& args,
                      std::istream* secretInput, std::ostream& out, std::ostream& err,
                      std::chrono::milliseconds wait = std::chrono::seconds(30));

// The service's own profiles (under NetworkManager: the connections the utility made).
int RunServiceProfileList(wlan::WlanService& service, const std::vector<std::string>& args,
                          std::ostream& out, std::ostream& err);

// The security a BSS entry announces: "open", "WEP", "WPA-PSK", "WPA2-PSK", "WPA-802.1X",
// "WPA2-802.1X" (RSN ahead of WPA; PSK ahead of 802.1X when both are offered).
std::string AnnouncedSecurity(const wlan::BssEntry& entry);

// The temporary profile for `security` (AnnouncedSecurity's names, PSK and open and WEP only);
// empty for the others.
std::string ServiceConnectProfile(const wlan::Ssid& ssid, const std::string& security, const std::string& secret);

// The first interface described as `name` (the first of all when empty).
std::optional<wlan::InterfaceInfo> FindServiceInterface(wlan::WlanService& service, wlan::ClientHandle handle,
                                                        const std::string& name);

}  // namespace ov::cli
