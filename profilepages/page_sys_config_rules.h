#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The system-config tab of the profile editor as plain rules: its fields, the channel list of a
// region, band and network type, and the threshold ranges of its two slider-edit pairs.
namespace ov {

inline constexpr int kRtsMin = 0;
inline constexpr int kRtsMax = 2347;
inline constexpr int kFragMin = 256;
inline constexpr int kFragMax = 2346;
inline constexpr int kThresholdLineStep = 32;
inline constexpr int kThresholdPageStep = 256;

// "TXPower" codes, in the order of the drop-down's menu.
enum TxPowerCode : int { kTxAuto = 0, kTx100 = 1, kTx75 = 2, kTx50 = 3, kTx25 = 4, kTx10 = 5,
                         kTxLowest = 6 };
inline constexpr int kTxPowerCount = 7;

// The page's preamble value (the store keeps 0 for Long, 2 for Auto).
inline constexpr int kPagePreambleAuto = 0;
inline constexpr int kPagePreambleLong = 1;
int StoredPreamble(int pagePreamble);
int PagePreamble(int storedPreamble);

struct SysConfigFields {
  std::string profileName;
  std::string ssid;
  std::string channel;            // "Channel" as text
  std::string diagnosticSsid;
  int networkType = 0;            // 1 infrastructure, 0 ad hoc
  int psMode = 0;                 // "ProfilePSMode": 0 CAM, 1 PSM
  int txPower = kTxAuto;
  int preamble = kPagePreambleAuto;
  int acPowerCam = 0;             // carried unchanged
  bool useRts = false;
  int rtsThreshold = kRtsMax;
  bool useFrag = false;
  int fragThreshold = kFragMax;
  bool useDiagnostic = false;
  uint32_t adhocWirelessMode = 1; // fifth word of the driver's StaConfig
  bool operator==(const SysConfigFields&) const = default;
};

// What the channel list depends on besides the page.
struct ChannelListInputs {
  bool infrastructure = true;
  uint32_t wirelessMode = 0;       // the adapter's current wireless mode
  uint32_t adhocWirelessMode = 1;
  bool adhoc = false;              // the ad hoc flag
  uint32_t countryRegionWord = 0;  // bits 0-6 the 2.4 GHz region, bits 8-14 the 5 GHz region
  int32_t chipFamily = -1;
  bool ieee80211h = false;         // the adapter parameter "IEEE80211H" is 1
};

// BuildChannelList: the 2.4 GHz channels of the region, then the 5 GHz ones.
std::vector<uint8_t> BuildChannelList(const ChannelListInputs& inputs);
// The list's items ("%d"), without the 4.9 GHz-style channels 34, 38, 42 and 46.
std::vector<std::string> ChannelListItems(const std::vector<uint8_t>& channels);
// The item to select: the one equal to `channel`, else the first; -1 for an empty list.
int ChannelItemToSelect(const std::vector<std::string>& items, const std::string& channel);

// What the RTS and fragmentation edits do with a typed number.
int ClampRtsThreshold(long long value);
int ClampFragThreshold(long long value);

}  // namespace ov
