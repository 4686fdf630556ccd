#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/system/mac_address.h"

// The site survey's rows and order as plain rules: one row per scan-list entry, the sort that
// rewrites the scan list, the icons and signal cell of a row, the security class of a chosen
// network and the row of the current connection. The page draws; these decide.
namespace ov::survey {

// One listed BSS.
struct SurveyEntry {
  int connected = 0;               // 1 for the row of the current connection
  uint32_t infrastructureMode = 0; // 0 IBSS, 1 infrastructure
  std::string ssid;                // the first SSID-length bytes
  uint32_t networkTypeInUse = 0;   // 0 FH, 1 DS, 2 OFDM 5 GHz, 3 OFDM 2.4 GHz
  std::string channelText;         // "%u", empty for a frequency the table does not list
  int secured = 0;
  int wps = 0;
  int ht = 0;
  int rssi = 0;                    // dBm, modulo 101 (signed remainder)
  int ofdmBasic = 0;
  int wapiKind = 0;                // 1 WAPI-PSK, 2 WAPI-CA
  // The HT operation element says the BSS runs 40 MHz: a secondary channel above or below and
  // any channel width allowed (the link status's central-channel rule reads it).
  bool fortyMhz = false;
  // Beside the row, for the connected-row rule and the detail window.
  MacAddress bssid{};
  uint32_t channel = 0;            // 0: no listed channel
  size_t listIndex = 0;            // the entry's place in the scan list
};

// The row of one entry; nothing when its Length is below 116 + IELength.
std::optional<SurveyEntry> MakeSurveyEntry(std::span<const uint8_t> entry, size_t listIndex);
// The rows of a scan list, in its order; short entries are skipped.
std::vector<SurveyEntry> BuildSurveyRows(std::span<const uint8_t> list);

enum class SortKey { Ssid = 0, Channel = 1, Signal = 2 };

// Rewrites the scan list in the order of `key` — SSID ascending ignoring ASCII case, channel
// ascending, or strongest signal first — keeping the list's order among equal keys. Returns, for
// each new place, the entry's old place (at most 1024 pairs), as (new, old).
std::vector<std::pair<uint32_t, uint32_t>> SortScanList(std::span<uint8_t> list, SortKey key);

// The survey's security class of an auth text: "WPA" 1, "WPA-PSK" 2, "WPA-NONE" 3, "WPA2" and
// "WPA+WPA2" 4, "WPA2-PSK", "WPA2-NONE" and "WPA-PSK+WPA2-PSK" 5, "WAPI-PSK" 6, "WAPI-CA" 7,
// anything else 0.
int SurveySecurityCode(std::string_view authText);
// The class a clicked row gives: its Secured value, or 7 for a WAPI-CA network.
int ClickedRowSecurityClass(const SurveyEntry& row);

// The list's icons (image-list indexes).
enum SurveyIcon : int {
  kIconAdhoc = 0,
  kIconAccessPoint = 1,
  kIconBandA = 2,
  kIconBandB = 3,
  kIconBandG = 4,
  kIconKey = 5,
  kIconConnected = 6,
  kIconGreyArrow = 7,
  kIconWps = 8,
  kIconBandN = 9,
  kIconPadlock = 10,
};
inline constexpr int kSurveyColumnCount = 11;
// The icon of a column for a row; nothing where the column shows no icon.
std::optional<int> ColumnIcon(const SurveyEntry& row, int column);
// Column 9: "%d dBm" or "%d%%" of the percentage.
std::string SignalCellText(int rssi, bool showDbm);
// Column 10's bar colour (0x00BBGGRR) for a percentage: red up to 25, yellow to 50, green to 75,
// blue above.
uint32_t SignalBarColour(int percent);

// The connection the station has, as the wireless client reports it.
struct CurrentLink {
  MacAddress bssid{};
  std::string ssid;             // bytes, up to 32
  std::optional<uint32_t> channel;
  uint32_t infrastructure = 1;  // 1 infrastructure or any, 0 independent
};
// The index of the connected row: the last row with the link's BSSID and infrastructure value,
// unless an earlier one also matches the channel and the SSID (a hidden SSID on either side
// counts as matching); nothing when no row has the BSSID or the BSSID is all zeros.
std::optional<size_t> FindConnectedRow(const std::vector<SurveyEntry>& rows, const CurrentLink& link);

}  // namespace ov::survey
