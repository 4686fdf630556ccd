#include "views/ap_detail_rules.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string_view>

#include "driver/channel_frequency.h"
#include "driver/oid/bssid_list.h"
#include "driver/signal_strength.h"
#include "lang/language_table.h"
#include "radio/ht_table.h"

namespace ov::ap_detail {

namespace {

constexpr char kNotAvailable[] = "n/a";
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kYellow = 0x32E6FA;
constexpr uint32_t kGreen = 0x00FF00;

// The element headings of the 802.11n tab and the form-3 fields under each, in order.
struct HtGroup {
  std::string_view heading;
  size_t first, last;  // inclusive
};
constexpr HtGroup kHtGroups[] = {
    {"Secondary Channel Offset element", 0, 0},
    {"Extended Capabilities information element", 1, 1},
    {"Neighbor Report element", 2, 3},
    {"HT Capabilities element", 4, 20},
    {"A-MPDU Parameters field", 21, 22},
    {"Supported MCS Set field", 23, 26},
    {"HT Capabilities Info", 27, 28},
    {"A-MPDU Parameters", 29, 30},
    {"HT Extended Capabilities", 31, 32},
    {"HT Information element", 33, 53},
};

std::string SecurityHalf(const std::vector<std::string>& summary, size_t half) {
  return half < summary.size() ? summary[half] : std::string();
}

std::string ChannelText(uint32_t dsConfigKHz) {
  char text[48];
  const uint32_t channel = FrequencyToChannel(dsConfigKHz);
  const int mhz = static_cast<int>(dsConfigKHz / 1000);
  // An unlisted frequency still says where the network is, never another network's channel.
  if (channel == 0) {
    if (mhz == 0) return {};
    std::snprintf(text, sizeof text, "%d MHz", mhz);
  } else {
    std::snprintf(text, sizeof text, "%u <--> %d MHz", channel, mhz);
  }
  return text;
}

std::string NetworkTypeText(uint32_t infrastructureMode) {
  switch (infrastructureMode) {
    case 1: return "Infrastructure";
    case 0: return "IBSS";
    default: return "Unknown";
  }
}

bool IsTrue(const std::vector<std::string>& fields, size_t index) {
  return index < fields.size() && fields[index] == "TRUE";
}

std::string RatesBox(std::span<const uint8_t> supportedRates, const std::vector<std::string>& ht,
                     const std::array<uint8_t, kHtMcsSetSize>& mcsSet, const CHTTable& table) {
  std::string text = LangText(IDS_SUPPORT_RATE) + ": " + SupportedRatesText(supportedRates);
  if (!IsTrue(ht, kHtCapabilityPresent)) return text;
  text += "\n\n" + LangText(IDS_11N_MAX_SUPPORT_RATE) + ": ";
  const bool width40 = ht[kHtSupportedChannelWidthSet] == "1";
  const bool shortGi = IsTrue(ht, width40 ? kHtShortGi40 : kHtShortGi20);
  if (const auto rate = HighestHtRate(mcsSet, width40, shortGi, table)) {
    char number[32];
    std::snprintf(number, sizeof number, "%.1f", *rate);
    text += number;
  }
  return text;
}

}  // namespace

std::string SupportedRatesText(std::span<const uint8_t> supportedRates) {
  std::vector<int> halfMbps;
  for (uint8_t octet : supportedRates) {
    const int rate = octet & 0x7F;
    if (rate == 0) break;
    halfMbps.push_back(rate);
  }
  std::sort(halfMbps.begin(), halfMbps.end());
  std::string text;
  for (int rate : halfMbps) {
    if (!text.empty()) text += ", ";
    text += std::to_string(rate / 2);
    if (rate % 2) text += ".5";
  }
  return text;
}

std::optional<double> HighestHtRate(const std::array<uint8_t, kHtMcsSetSize>& mcsSet, bool width40,
                                    bool shortGi, const CHTTable& table) {
  std::optional<double> best;
  for (int mcs = 0; mcs < static_cast<int>(kHtMcsSetSize) * 8; ++mcs) {
    if (!(mcsSet[mcs / 8] & (1u << (mcs % 8)))) continue;
    double rate = 0;
    if (table.Lookup(width40 ? 1 : 0, shortGi ? 1 : 0, mcs, rate) && (!best || rate > *best)) best = rate;
  }
  return best;
}

uint32_t SignalColour(int percent) {
  if (percent <= 34) return kRed;
  if (percent < 70) return kYellow;
  return kGreen;
}

std::vector<HtTreeRow> BuildHtTree(const std::vector<std::string>& htFields) {
  const bool present = htFields.size() == kBssHtFieldCount && IsTrue(htFields, kHtInformationPresent);
  std::vector<HtTreeRow> rows;
  for (const HtGroup& group : kHtGroups) {
    rows.push_back({true, std::string(group.heading), {}});
    for (size_t field = group.first; field <= group.last; ++field) {
      rows.push_back({false, std::string(kBssHtFieldLabels[field]),
                      present ? htFields[field] : std::string(kNotAvailable)});
    }
  }
  return rows;
}

ApDetail DescribeApDetail(std::span<const uint8_t> entry, const CHTTable& table) {
  ApDetail detail;
  const BssElements elements = DecodeBssElements(entry);
  const auto security = SplitBssForm(FormatBssForm(elements, kBssFormSecurity));
  const auto ccx = SplitBssForm(FormatBssForm(elements, kBssFormCcx));
  const auto wps = SplitBssForm(FormatBssForm(elements, kBssFormWps));
  const auto ht = SplitBssForm(FormatBssForm(elements, kBssFormHt));

  NDIS_WLAN_BSSID_EX fixed;
  const bool hasFixedPart = DecodeNdisWlanBssidEx(entry, fixed);

  GeneralTab& general = detail.general;
  general.authentication = SecurityHalf(security, 0);
  general.encryption = SecurityHalf(security, 1);
  if (hasFixedPart) {
    // Without any cipher suite, the privacy bit means static WEP.
    if (general.encryption == "None" && fixed.Privacy != 0) general.encryption = "WEP";
    general.ssid = std::string(NdisSsidText(fixed.Ssid));
    general.macAddress = FormatMacAddress(fixed.MacAddress);
    general.channel = ChannelText(fixed.Configuration.DSConfig);
    general.networkType = NetworkTypeText(fixed.InfrastructureMode);
    general.beaconInterval = std::to_string(static_cast<int32_t>(fixed.Configuration.BeaconPeriod));
    general.signalPercent = RssiToPercent(fixed.Rssi);
    general.signalColour = SignalColour(general.signalPercent);
    detail.rates = RatesBox(fixed.SupportedRates, ht, elements.supportedMcsSet, table);
  }

  if (ccx.size() == kBssCcxFieldCount) detail.ccx = {ccx[0], ccx[1], ccx[2]};

  detail.wps.authentication = general.authentication;
  detail.wps.encryption = general.encryption;
  for (size_t i = 0; i < detail.wps.fields.size() && i < wps.size(); ++i) detail.wps.fields[i] = wps[i];
  if (detail.wps.fields[kWpsDevicePasswordId] == "Unknown") detail.wps.fields[kWpsDevicePasswordId].clear();

  detail.htTree = BuildHtTree(ht);
  detail.showHtTab = IsTrue(ht, kHtInformationPresent);
  return detail;
}

std::optional<std::span<const uint8_t>> FindScanEntry(std::span<const uint8_t> list, size_t listIndex,
                                                      const MacAddress& bssid) {
  const auto entries = BssidListEntries(list);
  auto hasBssid = [&](std::span<const uint8_t> entry) {
    NDIS_WLAN_BSSID_EX fixed;
    return DecodeNdisWlanBssidEx(entry, fixed) && fixed.MacAddress == bssid;
  };
  if (listIndex < entries.size() && hasBssid(entries[listIndex])) return entries[listIndex];
  for (const auto& entry : entries) {
    if (hasBssid(entry)) return entry;
  }
  return std::nullopt;
}

}  // namespace ov::ap_detail
