#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "driver/oid/ndis_records.h"

namespace ov {
class CHTTable;
}

// What the link-status panel shows, as plain rules: the texts of the driver's and the service's
// codes, the rates, the smoothing of the bars, the throughput and its history, the noise figure
// and the bar colours. The panel asks, these rules answer; nothing here queries anything.
namespace ov::link_status {

// COLORREF values (0x00BBGGRR), as the bars take them.
inline constexpr uint32_t kRed = 0x0000FF;
inline constexpr uint32_t kYellow = 0x32E6FA;
inline constexpr uint32_t kGreen = 0x00FF00;
inline constexpr uint32_t kGradientMiddle = 0xF0CAA6;

// A chain RSSI of exactly this value is no reading.
inline constexpr int32_t kNoRssiReading = -200;
// An SNR of this value is no reading.
inline constexpr uint32_t kNoSnrReading = 44;
// The throughput history's length, in 2 s samples.
inline constexpr size_t kThroughputHistoryLength = 29;

// "Link is Up" ... "EAP succeed" for codes 0 to 10; "" for a failed query or another code.
std::string ExtraInfoText(std::optional<uint32_t> code);

// The transmit power: "" when the query failed, "100%" for 100 or -1, "Lowest" for 0 to 6, else
// "v%".
std::string TxPowerText(std::optional<int32_t> percent);

// "SSID <--> 00-11-22-33-44-55 [a.b.c.d]"; the bracket is left out when the access point's
// address is unknown or 0.0.0.0. Control bytes of the SSID are shown as they are (the label
// shows plain text).
std::string StatusText(std::string_view ssid, const MacAddress& bssid,
                       std::optional<std::array<uint8_t, 4>> accessPointIp);

// Infrastructure (1) and any (3): "Infrastructure"; independent (2): "IBSS"; a failed query
// counts as infrastructure.
std::string NetworkTypeText(std::optional<uint32_t> bssType);
std::string AuthenticationText(uint32_t algorithm);
std::string EncryptionText(uint32_t cipher);

// "%u <--> %d MHz"; "" when the service has no channel; a channel the frequency table does not
// list is shown without its frequency.
std::string ChannelText(std::optional<uint32_t> channel);

// The rate of a legacy receive index 0-11 (1 ... 54 Mbit/s); a failed query or another index 1.0.
double LegacyRxRate(std::optional<uint32_t> index);

// An HtTransmitSetting word: bits 0-6 MCS, 7 40 MHz, 8 short GI, 9-10 STBC, 14-15 PHY mode.
struct HtSetting {
  uint32_t mcs = 0;
  bool bw40 = false;
  bool shortGi = false;
  bool stbc = false;
  uint32_t phyMode = 0;  // 0 CCK, 1 OFDM, 2 HT mixed, 3 HT greenfield
};
HtSetting DecodeHtSetting(uint32_t word);
// The frame was not an HT one (modes 0 and 1; a failed query reads as 0).
bool IsLegacy(const HtSetting& setting);
// Mbit/s; 0 for a code the PHY mode does not have.
double HtSettingRate(const HtSetting& setting, const CHTTable& table);

// The HT group's texts of a transmit setting.
struct HtTexts {
  std::string bw;    // "40" or "20"
  std::string gi;    // "short" or "long"
  std::string stbc;  // "used" or "none"
  std::string mcs;   // "%d"
};
HtTexts HtSettingTexts(const HtSetting& setting);
inline constexpr std::string_view kNotAvailable = "n/a";

// "%.1f Mbps".
std::string RateText(double mbps);

// The bar smoothing: with a previous value, the mean rounded half up; without one (0), the value.
int Smooth(int value, int previous);
// Link quality: trunc(raw x 1.2 + 10) capped at 100, then smoothed.
int LinkQualityPercent(uint32_t raw, int previous);

// Quality and signal bars: red below 35, yellow below 70, green from 70.
uint32_t SignalColour(int percent);

// Mbit/s over the 2 s poll from two readings of a byte counter; a counter that went back
// (wrapped or reset) gives 0.
double ThroughputMbps(uint32_t previous, uint32_t current);
// "%.3f Mbps" from 1 Mbit/s up, else "%.3f Kbps" of the value in kbit/s.
std::string ThroughputText(double mbps);

// The last 29 samples, newest last; the graph's scale is their maximum.
class ThroughputHistory {
 public:
  void Clear() { samples_.fill(0.0); }
  void Push(double mbps);
  double Maximum() const;
  const std::array<double, kThroughputHistoryLength>& Samples() const { return samples_; }

 private:
  std::array<double, kThroughputHistoryLength> samples_{};
};

// The noise bar. Families 6 to 10: -92 dBm while the strongest chain is at -70 dBm or better, else
// the strongest chain less the weaker SNR; other families: the raw reading less 143 (a failed query
// reads 0). Chains and SNRs whose query failed are left out; with no chain answered the noise is
// -92 dBm. The percentage (noise + 100) x 10 / 3, over 100 is 100 and red, else at least 0 with
// the colours the other way round (green below 35, yellow below 70, red above).
struct NoiseReading {
  int32_t dBm = 0;
  int percent = 0;
  uint32_t colour = kGreen;
};
struct NoiseInputs {
  int32_t chipFamily = 0;
  std::optional<uint32_t> raw;
  std::array<std::optional<int32_t>, 3> rssi;
  std::array<std::optional<uint32_t>, 2> snr;
};
NoiseReading Noise(const NoiseInputs& in);

}  // namespace ov::link_status
