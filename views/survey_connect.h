#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "nativewifi/station_profile.h"
#include "views/survey_rules.h"

// The site survey's Connect and Add to Profile as plain rules: which buttons may be used, the
// network a row stands for, where Connect leads, the hidden name the user typed, the record of a
// direct connection, and the text of a failed one. The page and the hidden-network prompt draw;
// these decide.
namespace ov::survey {

// What the buttons weigh besides the list.
struct ConnectButtonInputs {
  bool serviceAvailable = false;
  bool rescanPending = false;
  bool radioOn = false;
  bool hasRows = false;
  bool wpaReady = false;
  bool wapiSupported = false;
  bool isAdmin = false;
  bool standardUserMayManageProfiles = false;  // the program INI's profile policy
  int securityClass = 0;                       // of the row last clicked
};
struct ConnectButtonStates {
  bool connect = false;
  bool addToProfile = false;
  bool operator==(const ConnectButtonStates&) const = default;
};
ConnectButtonStates ConnectButtons(const ConnectButtonInputs& in);

// The network chosen for Connect or Add to Profile: its own copy of the scan-list entry and what
// its security summary says.
struct ChosenNetwork {
  std::vector<uint8_t> entry;
  std::string ssid;             // empty for a hidden network
  std::string authText;         // the summary split at ";"
  std::string cipherText;
  bool secured = false;         // Privacy, or a summary other than "Unknown;None"
  int securityClass = 0;        // SurveySecurityCode of the auth text
  uint32_t infrastructureMode = 0;
  MacAddress bssid{};
  uint32_t frequencyKHz = 0;    // DSConfig
};
// The network of one scan-list entry; nothing for a malformed entry. The survey's rows and
// `ovuictl connect` read their networks through it.
std::optional<ChosenNetwork> DescribeNetwork(std::span<const uint8_t> entry);

// The entry of `row` in `list`: the one at the row's place when it is still the row's BSS, else
// the first with the row's BSSID and SSID (the list may have been replaced since the rows were
// made); nothing when the BSS is no longer listed.
std::optional<ChosenNetwork> ChooseNetwork(std::span<const uint8_t> list, const SurveyEntry& row);

// The chosen entry with the typed name in its SSID field, for the security editor that follows
// the hidden-network prompt.
std::vector<uint8_t> EntryWithSsid(const ChosenNetwork& network, std::string_view ssid);

enum class ConnectRoute {
  Nothing,           // a WPA class without WPA support, or a WAPI ad hoc cell
  HiddenSsidPrompt,  // lower panel 1 asks for the name first
  SecurityEditor,    // lower panel 3, prefilled for the network
  ConnectNow,
};
ConnectRoute RouteConnect(const ChosenNetwork& network, bool wpaReady);
// Where the hidden-network prompt's OK leads once the name is known.
ConnectRoute RouteAfterHiddenSsid(const ChosenNetwork& network);

// The hidden-network prompt's text: white space trimmed at both ends, 1-32 bytes.
enum class HiddenSsidProblem { None, Empty, TooLong };
struct HiddenSsidInput {
  std::string ssid;
  HiddenSsidProblem problem = HiddenSsidProblem::None;
};
HiddenSsidInput CheckHiddenSsid(std::string_view typed);

// The record of a direct connection: the entry's SSID (or the typed hidden one), the BSSID when
// the network shows its name, network type, channel, preamble 2, RTS 2347, the adapter's
// power-save mode, open and unencrypted, and the request to connect. The one builder of the
// survey's and `ovuictl connect`'s records; a secured network's caller adds its security.
StationProfile BuildDirectConnectProfile(const ChosenNetwork& network,
                                         const std::optional<std::string>& hiddenSsid,
                                         int32_t powerSaveMode);

// Why the connection failed, from what the wireless client kept: the refusal of the profile
// document first, else the failure of the attempt; a generic text when neither is known.
std::string ConnectFailureReason(std::optional<uint32_t> profileRefusal,
                                 std::optional<uint32_t> connectionFailure);

// The link status's central-channel suffix applies: the wireless mode (the adapter's
// "WirelessMode" as the advanced page shows it; nothing when unreadable) is an 802.11n one (5 or
// above) and the first row marked connected runs 40 MHz.
bool CentralChannelSuffixApplies(std::optional<int32_t> wirelessMode, bool htCapable,
                                 const std::vector<SurveyEntry>& rows);

}  // namespace ov::survey
