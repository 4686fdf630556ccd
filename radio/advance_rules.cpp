#include "radio/advance_rules.h"

#include <cstdio>

#include "driver/params/adapter_params.h"

namespace ov {

// ---- Band ----

WirelessMode BandToMode(Band band, bool htCapable) {
  switch (band) {
    case Band::Ghz24: return htCapable ? WIRELESS_MODE_BGN_MIXED : WIRELESS_MODE_BG_MIXED;
    case Band::Ghz5: return htCapable ? WIRELESS_MODE_AN_MIXED : WIRELESS_MODE_A_ONLY;
    case Band::Ghz24And5: return htCapable ? WIRELESS_MODE_ABGN_MIXED : WIRELESS_MODE_ABG_MIXED;
    case Band::Other: break;
  }
  return WIRELESS_MODE_BG_MIXED;
}

Band ModeToBand(WirelessMode mode, bool htCapable) {
  for (Band band : {Band::Ghz24, Band::Ghz5, Band::Ghz24And5}) {
    if (BandToMode(band, htCapable) == mode) return band;
  }
  return Band::Ghz24;
}

std::vector<Band> BandList(bool aBandCapable) {
  if (!aBandCapable) return {Band::Ghz24};
  return {Band::Ghz24, Band::Ghz5, Band::Ghz24And5};
}

LanguageKey BandTextKey(Band band) {
  switch (band) {
    case Band::Ghz5: return IDS_PHY_5G;
    case Band::Ghz24And5: return IDS_PHY_24_5G;
    default: return IDS_PHY_24G;
  }
}

RegionRows RegionRowsFor(WirelessMode mode) {
  switch (mode) {
    case 2: case 8: return RegionRows::Only5;
    case 3: case 5: return RegionRows::Both;
    case 6: case 7: return RegionRows::Unchanged;
    default: return RegionRows::Only24;
  }
}

// ---- Regions ----

std::vector<std::string> RegionList24(int32_t chipFamily) {
  if (chipFamily == 0 || chipFamily == 1) {
    return {"0: FCC, CH1-11",      "1: IC (Canada), CH1-11", "2: ETSI, CH1-13",
            "3: SPAIN, CH10-11",   "4: FRANCE, CH10-13",     "5: MKK, CH14",
            "6: MKK1(TELEC), CH1-14", "7: ISRAEL, CH3-9"};
  }
  if (chipFamily >= 4 && chipFamily <= 10) {
    return {"0: CH1-11", "1: CH1-13", "2: CH10-11", "3: CH10-13",
            "4: CH14",   "5: CH1-14", "6: CH3-9",   "7: CH5-13"};
  }
  return {};
}

std::vector<std::string> RegionList5(int32_t chipFamily) {
  const bool first = chipFamily == 0 || chipFamily == 1;
  const bool middle = chipFamily == 4 || chipFamily == 5;
  const bool late = chipFamily >= 6 && chipFamily <= 10;
  if (!first && !middle && !late) return {};
  std::vector<std::string> list = {
      "0: CH 36, 40, 44, 48, 52, 56, 60, 64,149,153,157,161,165",
      "1: CH 36, 40, 44, 48, 52, 56, 60, 64,100,104,108,112,116,120,124,128,132,136,140",
      "2: CH 36, 40, 44, 48, 52, 56, 60, 64",
      "3: CH 52, 56, 60, 64,149,153,157,161",
      middle ? "4:  CH 149,153,157,161,165" : "4: CH 149,153,157,161,165",
      middle ? "5:  CH 149,153,157,161" : "5: CH 149,153,157,161",
      "6: CH 36, 40, 44, 48",
      "7: CH 36, 40, 44, 48, 52, 56, 60, 64,100,104,108,112,116,120,124,128,132,136,140,149,153,"
      "157,161,165",
      "8: CH 52, 56, 60, 64",
  };
  if (middle) {
    list.push_back("9: CH 34, 38, 42, 46");
    list.push_back("10: CH 34, 36, 38, 40, 42, 44, 46, 48, 52, 56, 60, 64");
  } else if (late) {
    list.push_back(
        "9: CH 36, 40, 44, 48, 52, 56, 60, 64,100,104,108,112,116,132,136,140,149,153,157,161,165");
    list.push_back("10: CH 36, 40, 44, 48,149,153,157,161,165");
    list.push_back(
        "11: CH 36, 40, 44, 48, 52, 56, 60, 64,100,104,108,112,116,120,149,153,157,161");
  }
  return list;
}

namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

ChannelSpan RegionChannelSpan(std::string_view entry) {
  std::string_view rest = entry;
  if (const size_t h = entry.find('H'); h != std::string_view::npos) rest = entry.substr(h + 1);
  const size_t firstDash = rest.find('-');
  const size_t lastDash = rest.rfind('-');
  const std::string_view lowPart = firstDash == std::string_view::npos ? rest : rest.substr(0, firstDash);
  const std::string_view highPart = lastDash == std::string_view::npos ? rest : rest.substr(lastDash + 1);
  return {ParseDecimal(TrimBlanks(lowPart)), ParseDecimal(TrimBlanks(highPart))};
}

bool Bw40Forbidden(WirelessMode mode, bool bw40Allowed24, bool bw40Allowed5) {
  return ((mode == 9 || mode == 7) && !bw40Allowed24) || (mode == 8 && !bw40Allowed5);
}

int32_t BandwidthForRegion(std::string_view entry, WirelessMode mode, bool bw40Allowed24,
                           bool bw40Allowed5) {
  if (Bw40Forbidden(mode, bw40Allowed24, bw40Allowed5)) return 0;
  const ChannelSpan span = RegionChannelSpan(entry);
  return static_cast<int64_t>(span.high) - span.low > 3 ? 1 : 0;
}

// ---- Transmit rate and MCS ----

std::vector<LanguageKey> TxRateList(WirelessMode mode) {
  switch (mode) {
    case 1: return {IDS_AUTO, IDS_1MBPS, IDS_2MBPS, IDS_55MBPS, IDS_11MBPS};
    case 2: case 4:
      return {IDS_AUTO,    IDS_6MBPS,   IDS_9MBPS,   IDS_12MBPS, IDS_18MBPS,
              IDS_24MBPS,  IDS_36MBPS,  IDS_48MBPS,  IDS_54MBPS};
    case 6: return {IDS_AUTO};
    default:
      return {IDS_AUTO,   IDS_1MBPS,  IDS_2MBPS,  IDS_55MBPS, IDS_11MBPS, IDS_6MBPS, IDS_9MBPS,
              IDS_12MBPS, IDS_18MBPS, IDS_24MBPS, IDS_36MBPS, IDS_48MBPS, IDS_54MBPS};
  }
}

int32_t ClampTxRateIndex(WirelessMode mode, int32_t index) {
  if (index < 0) return 0;
  if (mode == 1 && index > 4) return 0;
  if ((mode == 2 || mode == 4) && index > 8) return 0;
  return index;
}

std::vector<std::string> McsNumbers() {
  std::vector<std::string> list;
  for (int mcs = 0; mcs <= 15; ++mcs) list.push_back(std::to_string(mcs));
  list.push_back("32");
  return list;
}

int32_t McsFromText(std::string_view text, std::string_view autoText) {
  return text == autoText ? kMcsAuto : ParseDecimal(text);
}

std::string RateLabelText(std::optional<double> rateMbps) {
  if (!rateMbps) return "Tx Rate: Not Available";
  char text[48];
  std::snprintf(text, sizeof text, "Tx Rate: %.2f Mbps", *rateMbps);
  return text;
}

// ---- CCX2Control ----

Roaming DecodeRoaming(uint32_t ccxWord) {
  Roaming roaming;
  roaming.fastRoaming = (ccxWord & kCcxFastRoamingBit) != 0;
  const int32_t byte = static_cast<int32_t>((ccxWord >> 8) & 0xFF);
  roaming.threshold = byte < 40 || byte > 90 ? kDefaultRoamThreshold : -byte;
  return roaming;
}

uint32_t EncodeRoaming(uint32_t ccxWord, const Roaming& roaming) {
  uint32_t word = ccxWord & ~0xFF00u;
  if (roaming.fastRoaming) {
    const int64_t magnitude = roaming.threshold < 0 ? -int64_t{roaming.threshold} : roaming.threshold;
    return (word | kCcxFastRoamingBit) | (static_cast<uint32_t>(magnitude & 0xFF) << 8);
  }
  return (word & ~kCcxFastRoamingBit) | (70u << 8);
}

bool RoamThresholdValid(int32_t threshold) { return threshold >= -90 && threshold <= -40; }

// ---- "TransmitSetting" ----

HtFields HtFieldsFromTransmitSetting(uint32_t word, WirelessMode mode, bool bw40Allowed24,
                                     bool bw40Allowed5) {
  HtFields fields;
  fields.bw = (word >> 11) & 1;
  if (Bw40Forbidden(mode, bw40Allowed24, bw40Allowed5)) fields.bw = 0;
  fields.gi = (word >> 12) & 1;
  fields.stbc = (word >> 13) & 1;
  fields.htMode = (word >> 16) & 3;
  fields.extChannel = (word >> 18) & 3;
  fields.mcs = (word >> 4) & 0x7F;
  return fields;
}

uint32_t TransmitSettingFromFields(WirelessMode mode, const HtFields& f) {
  return (static_cast<uint32_t>(mode) & 0xF) | (static_cast<uint32_t>(f.mcs) & 0x7F) << 4 |
         (static_cast<uint32_t>(f.bw) & 1) << 11 | (static_cast<uint32_t>(f.gi) & 1) << 12 |
         (static_cast<uint32_t>(f.stbc) & 1) << 13 | kAdvanceTransmitNo << 14 |
         (static_cast<uint32_t>(f.htMode) & 3) << 16 |
         (static_cast<uint32_t>(f.extChannel) & 3) << 18;
}

// ---- Saving and the driver ----

SaveCorrections CorrectForSave(WirelessMode mode, bool aBandCapable, int32_t bgProtection,
                               int32_t txRateIndex) {
  SaveCorrections out{bgProtection, txRateIndex};
  if (mode == 1 || (aBandCapable && mode == 2)) out.bgProtection = 0;
  if ((mode == 1 && txRateIndex >= 5) || (aBandCapable && mode == 2 && txRateIndex >= 9)) {
    out.txRateIndex = 0;
  }
  return out;
}

std::array<uint8_t, 8> AdvanceDesiredRates(WirelessMode mode, int32_t txRateIndex, int32_t mcs) {
  static constexpr std::array<uint8_t, 8> kHtAuto = {108, 96, 72, 48, 22, 11, 4, 2};
  static constexpr std::array<uint8_t, 8> kOfdmAll = {108, 96, 72, 48, 36, 24, 18, 12};
  static constexpr std::array<uint8_t, 8> kCckAll = {22, 11, 4, 2, 0, 0, 0, 0};
  static constexpr std::array<uint8_t, 9> kOfdmByIndex = {0, 12, 18, 24, 36, 48, 72, 96, 108};
  static constexpr std::array<uint8_t, 13> kMixedByIndex = {0,  2,  4,  11, 22, 12, 18,
                                                            24, 36, 48, 72, 96, 108};
  if (IsHtWirelessMode(mode)) {
    if (mcs == kMcsAuto) return kHtAuto;
    return {108, 0, 0, 0, 0, 0, 0, 0};
  }
  if (mode == 2 || mode == 4) {
    if (txRateIndex <= 0 || txRateIndex > 8) return kOfdmAll;
    return {kOfdmByIndex[txRateIndex], 0, 0, 0, 0, 0, 0, 0};
  }
  if (txRateIndex <= 0 || txRateIndex > 12) return mode == 1 ? kCckAll : kHtAuto;
  return {kMixedByIndex[txRateIndex], 0, 0, 0, 0, 0, 0, 0};
}

std::string HtSetOidTraceLine(WirelessMode mode, const HtFields& f) {
  char line[160];
  std::snprintf(line, sizeof line,
                "SetOid: PhyMode = %d, HtMode = %d, TransmitNo = %d, BW = %d, SHORTGI = %d, "
                "STBC = %d, MCS = %d\n",
                static_cast<int>(mode), static_cast<int>(f.htMode), static_cast<int>(kAdvanceTransmitNo),
                static_cast<int>(f.bw), static_cast<int>(f.gi), static_cast<int>(f.stbc),
                static_cast<int>(f.mcs));
  return line;
}

// ---- Reconnect ----

ReconnectRequest PlanReconnect(const RememberedConnection& remembered, bool adhocVisible) {
  ReconnectRequest request;
  request.bssType = remembered.bssType;
  request.adhocJoinOnly = remembered.bssType == 2 && adhocVisible;
  if (remembered.connectionMode == 0 || remembered.connectionMode == 4) {
    request.mode = 0;
    request.profileName = remembered.profileName;
    return request;
  }
  const bool secured = remembered.authAlgorithm != 1 || remembered.cipherAlgorithm != 0;
  request.mode = secured ? 2 : 3;
  request.ssid = remembered.ssid;
  return request;
}

// ---- TCP window ----

std::string EncodeTcpWindowBackup(const TcpWindowValues& values) {
  std::string data;
  for (const auto& value : values) {
    data.push_back(value ? 1 : 0);
    const uint32_t v = value.value_or(0);
    for (int shift = 0; shift < 32; shift += 8) data.push_back(static_cast<char>((v >> shift) & 0xFF));
  }
  return data;
}

std::optional<TcpWindowValues> DecodeTcpWindowBackup(std::string_view data) {
  if (data.size() != 20) return std::nullopt;
  TcpWindowValues values;
  for (size_t i = 0; i < values.size(); ++i) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + i * 5);
    if (p[0] > 1) return std::nullopt;
    if (p[0] == 1) values[i] = uint32_t{p[1]} | uint32_t{p[2]} << 8 | uint32_t{p[3]} << 16 | uint32_t{p[4]} << 24;
  }
  return values;
}

TcpWindowChange PlanTcpWindowSave(bool enable, const TcpWindowValues& current,
                                  const std::optional<TcpWindowValues>& backup) {
  TcpWindowChange change;
  if (enable) {
    if (!backup) change.newBackup = current;
    for (size_t i = 0; i < kTcpWindowValueNames.size(); ++i) {
      change.writes.emplace_back(kTcpWindowValueNames[i], kTcpWindowPageValues[i]);
    }
    return change;
  }
  if (!backup) return change;
  for (size_t i = 0; i < kTcpWindowValueNames.size(); ++i) {
    if (current[i] != kTcpWindowPageValues[i]) continue;  // changed since: someone else's now
    const std::optional<uint32_t>& before = (*backup)[i];
    if (!before) {
      change.deletes.emplace_back(kTcpWindowValueNames[i]);
    } else if (*before != kTcpWindowPageValues[i]) {
      change.writes.emplace_back(kTcpWindowValueNames[i], *before);
    }
  }
  change.dropBackup = true;
  return change;
}

}  // namespace ov
