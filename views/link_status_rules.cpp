#include "views/link_status_rules.h"

#include <algorithm>
#include <cstdio>

#include "driver/channel_frequency.h"
#include "driver/oid/oid_constants.h"
#include "radio/ht_table.h"

namespace ov::link_status {

namespace {

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

bool IsHtFamily(int32_t chipFamily) { return chipFamily >= 6 && chipFamily <= 10; }

}  // namespace

std::string ExtraInfoText(std::optional<uint32_t> code) {
  return code ? std::string(ov::ExtraInfoText(*code)) : std::string();
}

std::string TxPowerText(std::optional<int32_t> percent) {
  if (!percent) return "";
  if (*percent == 100 || *percent == -1) return "100%";
  if (*percent >= 0 && *percent <= 6) return "Lowest";
  return std::to_string(*percent) + "%";
}

std::string StatusText(std::string_view ssid, const MacAddress& bssid,
                       std::optional<std::array<uint8_t, 4>> accessPointIp) {
  std::string text = std::string(ssid) + " <--> " + FormatMacAddress(bssid);
  if (accessPointIp && (*accessPointIp)[0] | (*accessPointIp)[1] | (*accessPointIp)[2] |
                           (*accessPointIp)[3]) {
    char ip[32];
    std::snprintf(ip, sizeof ip, " [%d.%d.%d.%d]", (*accessPointIp)[0], (*accessPointIp)[1],
                  (*accessPointIp)[2], (*accessPointIp)[3]);
    text += ip;
  }
  return text;
}

std::string NetworkTypeText(std::optional<uint32_t> bssType) {
  return bssType && *bssType == 2 ? "IBSS" : "Infrastructure";
}

std::string AuthenticationText(uint32_t algorithm) {
  switch (algorithm) {
    case 2: return "Shared";
    case 3: return "WPA";
    case 4: return "WPA-PSK";
    case 5: return "WPA-NONE";
    case 6: return "WPA2";
    case 7: return "WPA2-PSK";
    case 0x80000001: return "CCKM";
    case 0x80000102: return "WAPI-PSK";
    case 0x80000103: return "WAPI-CA";
    default: return "Open";
  }
}

std::string EncryptionText(uint32_t cipher) {
  switch (cipher) {
    case 2: return "TKIP";
    case 4: return "AES";
    case 0x101: return "WEP";
    case 0x80000001: return "TKIP";
    case 0x80000002: return "AES";
    case 0x80000003: return "SMS4";
    default: return "NONE";
  }
}

std::string ChannelText(std::optional<uint32_t> channel) {
  if (!channel) return "";
  for (const ChannelFrequency& row : ChannelFrequencyTable) {
    if (row.channel == *channel) {
      char text[48];
      std::snprintf(text, sizeof text, "%u <--> %u MHz", *channel, row.frequencyKHz / 1000);
      return text;
    }
  }
  return std::to_string(*channel);
}

double LegacyRxRate(std::optional<uint32_t> index) {
  static constexpr double kRates[] = {1, 2, 5.5, 11, 6, 9, 12, 18, 24, 36, 48, 54};
  if (!index || *index >= std::size(kRates)) return 1.0;
  return kRates[*index];
}

HtSetting DecodeHtSetting(uint32_t word) {
  HtSetting s;
  s.mcs = word & 0x7F;
  s.bw40 = (word >> 7) & 1;
  s.shortGi = (word >> 8) & 1;
  s.stbc = ((word >> 9) & 3) != 0;
  s.phyMode = (word >> 14) & 3;
  return s;
}

bool IsLegacy(const HtSetting& setting) { return setting.phyMode < 2; }

double HtSettingRate(const HtSetting& s, const CHTTable& table) {
  switch (s.phyMode) {
    case 0: {
      // The second group of codes is the short-preamble form of the first.
      static constexpr double kCck[] = {1, 2, 5.5, 11};
      const uint32_t code = s.mcs >= 8 ? s.mcs - 8 : s.mcs;
      return (s.mcs <= 3 || (s.mcs >= 8 && s.mcs <= 11)) ? kCck[code] : 0.0;
    }
    case 1: {
      static constexpr double kOfdm[] = {6, 9, 12, 18, 24, 36, 48, 54};
      return s.mcs <= 7 ? kOfdm[s.mcs] : 0.0;
    }
    default: {
      double rate = 0.0;
      return table.Lookup(s.bw40 ? 1 : 0, s.shortGi ? 1 : 0, static_cast<int>(s.mcs), rate) ? rate
                                                                                          : 0.0;
    }
  }
}

HtTexts HtSettingTexts(const HtSetting& s) {
  return {s.bw40 ? "40" : "20", s.shortGi ? "short" : "long", s.stbc ? "used" : "none",
          std::to_string(s.mcs)};
}

std::string RateText(double mbps) { return Format("%.1f Mbps", mbps); }

int Smooth(int value, int previous) {
  if (previous == 0) return value;
  return static_cast<int>((value + previous) * 0.5 + 0.5);
}

int LinkQualityPercent(uint32_t raw, int previous) {
  const double scaled = static_cast<double>(raw) * 1.2 + 10;
  const int q = scaled >= 100 ? 100 : static_cast<int>(scaled);
  return Smooth(q, previous);
}

uint32_t SignalColour(int percent) {
  if (percent < 35) return kRed;
  if (percent < 70) return kYellow;
  return kGreen;
}

double ThroughputMbps(uint32_t previous, uint32_t current) {
  const uint32_t delta = current - previous;
  if (static_cast<int32_t>(delta) < 0) return 0.0;
  return static_cast<double>(delta) / 250 / 1000;
}

std::string ThroughputText(double mbps) {
  return mbps >= 1 ? Format("%.3f Mbps", mbps) : Format("%.3f Kbps", mbps * 1000);
}

void ThroughputHistory::Push(double mbps) {
  std::move(samples_.begin() + 1, samples_.end(), samples_.begin());
  samples_.back() = mbps;
}

double ThroughputHistory::Maximum() const {
  return *std::max_element(samples_.begin(), samples_.end());
}

NoiseReading Noise(const NoiseInputs& in) {
  NoiseReading out;
  if (IsHtFamily(in.chipFamily)) {
    std::optional<int32_t> strongest;
    for (const auto& r : in.rssi) {
      if (r && (!strongest || *r > *strongest)) strongest = *r;
    }
    std::optional<uint32_t> weakerSnr;
    for (const auto& s : in.snr) {
      if (s && (!weakerSnr || *s < *weakerSnr)) weakerSnr = *s;
    }
    if (!strongest || *strongest >= -70) {
      out.dBm = -92;
    } else {
      out.dBm = *strongest - static_cast<int32_t>(weakerSnr.value_or(0));
    }
  } else {
    out.dBm = static_cast<int32_t>(in.raw.value_or(0)) - 143;
  }
  int n = (out.dBm + 100) * 10 / 3;
  if (n > 100) {
    out.percent = 100;
    out.colour = kRed;
    return out;
  }
  out.percent = std::max(n, 0);
  out.colour = out.percent < 35 ? kGreen : out.percent < 70 ? kYellow : kRed;
  return out;
}

}  // namespace ov::link_status
