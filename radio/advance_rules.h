#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/wireless_mode.h"
#include "lang/language_keys.h"

// The advanced page's rules, data in and data out: the band and region lists, the 40 MHz rule,
// the transmit-rate and MCS lists, the words the page reads and writes (CCX2Control,
// TransmitSetting, the desired rates), the reconnect after a band or region change, and the
// TCP window values.
namespace ov {

// ---- Band ----

// The entries of the band list (language texts IDS_PHY_24G, IDS_PHY_5G, IDS_PHY_24_5G); `Other`
// stands for a text that is none of them.
enum class Band { Ghz24, Ghz5, Ghz24And5, Other };

WirelessMode BandToMode(Band band, bool htCapable);
Band ModeToBand(WirelessMode mode, bool htCapable);
// 2.4 GHz, and with the 5 GHz band also 5 GHz and both, in that order.
std::vector<Band> BandList(bool aBandCapable);
LanguageKey BandTextKey(Band band);

// Which region rows a wireless mode shows.
enum class RegionRows { Only24, Only5, Both, Unchanged };
RegionRows RegionRowsFor(WirelessMode mode);

// ---- Regions ----

// The 2.4 GHz and 5 GHz region lists of a chip family; the index is the region code.
std::vector<std::string> RegionList24(int32_t chipFamily);
std::vector<std::string> RegionList5(int32_t chipFamily);
// The highest code the named 2.4 GHz list holds; a fixed code above it gets an entry of its own.
inline constexpr int32_t kRegionBgMax = 7;

// The channel span a 2.4 GHz region entry names ("2: ETSI, CH1-13" → 1..13, "5: MKK, CH14" →
// 14..14). Texts without digits read as 0.
struct ChannelSpan {
  int32_t low = 0;
  int32_t high = 0;
  bool operator==(const ChannelSpan&) const = default;
};
ChannelSpan RegionChannelSpan(std::string_view entry);

// The EEPROM forbids 40 MHz in the band of this mode.
bool Bw40Forbidden(WirelessMode mode, bool bw40Allowed24, bool bw40Allowed5);
// The bandwidth a 2.4 GHz region choice leads to: 0 where 40 MHz is forbidden, else 1 ("Auto")
// when the region spans more than 3 channels.
int32_t BandwidthForRegion(std::string_view entry, WirelessMode mode, bool bw40Allowed24,
                           bool bw40Allowed5);

// ---- Transmit rate and MCS ----

// The transmit-rate list of a mode (language texts) and the index it keeps.
std::vector<LanguageKey> TxRateList(WirelessMode mode);
int32_t ClampTxRateIndex(WirelessMode mode, int32_t index);

// The MCS list after its first entry (the Auto text): "0" to "15", then "32".
std::vector<std::string> McsNumbers();
// The MCS of a list text: 33 for the Auto text, else its decimal value.
inline constexpr int32_t kMcsAuto = 33;
int32_t McsFromText(std::string_view text, std::string_view autoText);

// "Tx Rate: %.2f Mbps", or "Tx Rate: Not Available" when there is no rate.
std::string RateLabelText(std::optional<double> rateMbps);

// ---- CCX2Control (fast roaming) ----

inline constexpr uint32_t kCcxFastRoamingBit = 1u << 5;
inline constexpr int32_t kDefaultRoamThreshold = -70;
struct Roaming {
  bool fastRoaming = false;
  int32_t threshold = kDefaultRoamThreshold;  // dBm
  bool operator==(const Roaming&) const = default;
};
// Bit 5 and −(bits 8-15); a byte below 40 or above 90 reads as −70.
Roaming DecodeRoaming(uint32_t ccxWord);
// Bit 5 and |threshold| in bits 8-15; off clears bit 5 and stores 70. Other bits stay.
uint32_t EncodeRoaming(uint32_t ccxWord, const Roaming& roaming);
// −90..−40 inclusive.
bool RoamThresholdValid(int32_t threshold);

// ---- "TransmitSetting" ----

struct HtFields {
  int32_t htMode = 0;      // 0 MM, 1 GF, 2 11b, 3 11g
  int32_t bw = 0;          // 0 20 MHz, 1 Auto
  int32_t gi = 0;          // 0 long, 1 Auto
  int32_t stbc = 0;        // 0 None, 1 Auto
  int32_t extChannel = 0;  // 0 None, 1 Above, 2 Below
  int32_t mcs = kMcsAuto;
  bool operator==(const HtFields&) const = default;
};
inline constexpr uint32_t kAdvanceTransmitNo = 2;
// The page's reading of the word: the bandwidth is 0 where the mode's band forbids 40 MHz.
HtFields HtFieldsFromTransmitSetting(uint32_t word, WirelessMode mode, bool bw40Allowed24,
                                     bool bw40Allowed5);
// mode | MCS << 4 | Bw << 11 | Gi << 12 | Stbc << 13 | 2 << 14 | HtMode << 16 | Ext << 18.
uint32_t TransmitSettingFromFields(WirelessMode mode, const HtFields& fields);

// ---- Saving and the driver ----

// BgProtection 0 in 802.11b and (on a 5 GHz adapter) 5 GHz-only; a transmit-rate index past the
// mode's list 0.
struct SaveCorrections {
  int32_t bgProtection = 0;
  int32_t txRateIndex = 0;
  bool operator==(const SaveCorrections&) const = default;
};
SaveCorrections CorrectForSave(WirelessMode mode, bool aBandCapable, int32_t bgProtection,
                               int32_t txRateIndex);

// The 8 desired-rate bytes (500 kbit/s units) of a mode, transmit-rate index and MCS.
std::array<uint8_t, 8> AdvanceDesiredRates(WirelessMode mode, int32_t txRateIndex, int32_t mcs);

// The trace-file line of the HT PHY mode the page sends.
std::string HtSetOidTraceLine(WirelessMode mode, const HtFields& fields);

// ---- Reconnect after a band or region change ----

struct RememberedConnection {
  bool connected = false;
  uint32_t connectionMode = 0;  // 0 profile, 4 auto, others discovery
  std::string profileName;
  uint32_t bssType = 1;         // 2 independent
  std::vector<uint8_t> ssid;
  uint32_t authAlgorithm = 1;   // 1 open
  uint32_t cipherAlgorithm = 0; // 0 none
};
struct ReconnectRequest {
  uint32_t mode = 0;            // 0 profile, 2 discovery secure, 3 discovery unsecure
  std::string profileName;      // mode 0 only
  std::vector<uint8_t> ssid;    // empty in mode 0
  uint32_t bssType = 1;
  bool adhocJoinOnly = false;
  bool operator==(const ReconnectRequest&) const = default;
};
// `adhocVisible`: the scan list holds an ad hoc entry with the remembered SSID.
ReconnectRequest PlanReconnect(const RememberedConnection& remembered, bool adhocVisible);

// ---- TCP window (the host's TCP/IP parameters) ----

// The four values the page writes, in this order, and what it writes.
inline constexpr std::array<const char*, 4> kTcpWindowValueNames = {
    "TCPWindowSize", "SackOpts", "TcpMaxDupAcks", "Tcp1323Opts"};
inline constexpr std::array<uint32_t, 4> kTcpWindowPageValues = {0x10000, 1, 2, 1};
// The adapter-key value that keeps what the four held before the page first wrote them.
inline constexpr char kTcpWindowBackupName[] = "TcpWindowBefore";

// Each value as it stands (nothing: absent).
using TcpWindowValues = std::array<std::optional<uint32_t>, 4>;

// 20 bytes: per value a presence byte and the little-endian value.
std::string EncodeTcpWindowBackup(const TcpWindowValues& values);
std::optional<TcpWindowValues> DecodeTcpWindowBackup(std::string_view data);

// What Apply does to the four values. Enabling records what was there before (once, while no
// record exists) and writes the page's values. Clearing touches only values that still hold
// what the page wrote, and only when the record says the page wrote them: each goes back to
// what it was before (written, or deleted when it was absent), and the record is dropped.
// Without a record the values are an administrator's, and they stay.
struct TcpWindowChange {
  std::vector<std::pair<std::string, uint32_t>> writes;
  std::vector<std::string> deletes;
  std::optional<TcpWindowValues> newBackup;  // to record
  bool dropBackup = false;
};
TcpWindowChange PlanTcpWindowSave(bool enable, const TcpWindowValues& current,
                                  const std::optional<TcpWindowValues>& backup);

}  // namespace ov
