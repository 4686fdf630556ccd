#include "views/survey_rules.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "driver/channel_frequency.h"
#include "driver/oid/bssid_list.h"
#include "driver/signal_strength.h"
#include "platform/system/ascii_text.h"
#include "views/bss_describe.h"

namespace ov::survey {

namespace {

constexpr size_t kMaxOriginPairs = 1024;

// The listed channel of a centre frequency; 0 when the table does not list it.
uint32_t ListedChannel(uint32_t frequencyKHz) {
  for (const ChannelFrequency& row : ChannelFrequencyTable) {
    if (row.frequencyKHz == frequencyKHz) return row.channel;
  }
  return 0;
}

bool HasBasicOfdmRate(const std::array<uint8_t, kNdisRatesExSize>& rates) {
  return std::any_of(rates.begin(), rates.end(),
                     [](uint8_t r) { return r == 0x8C || r == 0x92 || r >= 0x98; });
}

bool FieldIsTrue(const std::vector<std::string>& fields, size_t index) {
  return index < fields.size() && fields[index] == "TRUE";
}

struct Keyed {
  std::span<const uint8_t> bytes;
  uint32_t oldIndex = 0;
  NDIS_WLAN_BSSID_EX fixed;
};

}  // namespace

std::optional<SurveyEntry> MakeSurveyEntry(std::span<const uint8_t> entry, size_t listIndex) {
  NDIS_WLAN_BSSID_EX e;
  if (!DecodeNdisWlanBssidEx(entry, e)) return std::nullopt;
  if (static_cast<uint64_t>(e.Length) < 116ull + e.IELength || e.Length > entry.size()) {
    return std::nullopt;
  }
  SurveyEntry row;
  row.listIndex = listIndex;
  row.infrastructureMode = e.InfrastructureMode;
  row.ssid = std::string(NdisSsidText(e.Ssid));
  row.networkTypeInUse = e.NetworkTypeInUse;
  row.channel = ListedChannel(e.Configuration.DSConfig);
  if (row.channel) row.channelText = std::to_string(row.channel);
  row.bssid = e.MacAddress;
  row.rssi = e.Rssi % 101;
  row.ofdmBasic = e.NetworkTypeInUse == 3 && HasBasicOfdmRate(e.SupportedRates) ? 1 : 0;

  const BssElements elements = DecodeBssElements(entry);
  const std::string security = FormatBssForm(elements, kBssFormSecurity);
  row.secured = (e.Privacy != 0 || security != "Unknown;None") ? 1 : 0;
  row.wps = FieldIsTrue(SplitBssForm(FormatBssForm(elements, kBssFormWps)), kWpsPresent) ? 1 : 0;
  row.ht = FieldIsTrue(SplitBssForm(FormatBssForm(elements, kBssFormHt)), kHtInformationPresent)
               ? 1 : 0;
  row.wapiKind = security == "WAPI-PSK;SMS4" ? 1 : security == "WAPI-CA;SMS4" ? 2 : 0;
  const unsigned offset = elements.htInformationSubset1 & 0x03u;
  row.fortyMhz = elements.htInformationPresent && (offset == 1 || offset == 3) &&
                 (elements.htInformationSubset1 & 0x04u) != 0;
  return row;
}

std::vector<SurveyEntry> BuildSurveyRows(std::span<const uint8_t> list) {
  std::vector<SurveyEntry> rows;
  const auto entries = BssidListEntries(list);
  rows.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    if (auto row = MakeSurveyEntry(entries[i], i)) rows.push_back(std::move(*row));
  }
  return rows;
}

std::vector<std::pair<uint32_t, uint32_t>> SortScanList(std::span<uint8_t> list, SortKey key) {
  const auto entries = BssidListEntries(list);
  std::vector<Keyed> keyed;
  keyed.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    Keyed k;
    k.bytes = entries[i];
    k.oldIndex = static_cast<uint32_t>(i);
    DecodeNdisWlanBssidEx(entries[i], k.fixed);  // a short entry sorts with zero keys
    keyed.push_back(k);
  }
  auto less = [key](const Keyed& a, const Keyed& b) {
    switch (key) {
      case SortKey::Ssid:
        return CompareIgnoringAsciiCase(NdisSsidText(a.fixed.Ssid), NdisSsidText(b.fixed.Ssid)) < 0;
      case SortKey::Channel:
        return ListedChannel(a.fixed.Configuration.DSConfig) <
               ListedChannel(b.fixed.Configuration.DSConfig);
      case SortKey::Signal:
        return a.fixed.Rssi > b.fixed.Rssi;
    }
    return false;
  };
  std::stable_sort(keyed.begin(), keyed.end(), less);

  // Copied out first: the entries point into the list being rewritten.
  std::vector<uint8_t> sorted(list.size(), 0);
  size_t at = kBssidListHeaderSize;
  std::vector<std::pair<uint32_t, uint32_t>> origins;
  for (size_t i = 0; i < keyed.size(); ++i) {
    std::memcpy(sorted.data() + at, keyed[i].bytes.data(), keyed[i].bytes.size());
    at += keyed[i].bytes.size();
    if (origins.size() < kMaxOriginPairs) origins.emplace_back(static_cast<uint32_t>(i), keyed[i].oldIndex);
  }
  if (list.size() < kBssidListHeaderSize) return origins;
  const auto count = static_cast<uint32_t>(keyed.size());
  std::memcpy(sorted.data(), &count, sizeof count);  // little-endian host, as the list is
  std::copy(sorted.begin(), sorted.end(), list.begin());
  return origins;
}

int SurveySecurityCode(std::string_view auth) {
  if (auth == "WPA") return 1;
  if (auth == "WPA-PSK") return 2;
  if (auth == "WPA-NONE") return 3;
  if (auth == "WPA2" || auth == "WPA+WPA2") return 4;
  if (auth == "WPA2-PSK" || auth == "WPA2-NONE" || auth == "WPA-PSK+WPA2-PSK") return 5;
  if (auth == "WAPI-PSK") return 6;
  if (auth == "WAPI-CA") return 7;
  return 0;
}

int ClickedRowSecurityClass(const SurveyEntry& row) {
  return row.wapiKind == 2 ? 7 : row.secured;
}

std::optional<int> ColumnIcon(const SurveyEntry& row, int column) {
  switch (column) {
    case 0: return row.connected == 1 ? std::optional<int>(kIconConnected) : std::nullopt;
    case 2: return row.infrastructureMode <= 1 ? std::optional<int>(static_cast<int>(row.infrastructureMode))
                                               : std::nullopt;
    case 4: return row.networkTypeInUse == 2 ? std::optional<int>(kIconBandA) : std::nullopt;
    case 5:
      return row.ofdmBasic == 0 && (row.networkTypeInUse <= 1 || row.networkTypeInUse == 3)
                 ? std::optional<int>(kIconBandB) : std::nullopt;
    case 6: return row.networkTypeInUse == 3 ? std::optional<int>(kIconBandG) : std::nullopt;
    case 7: return row.ht == 1 ? std::optional<int>(kIconBandN) : std::nullopt;
    case 8:
      if (row.wapiKind >= 1) return kIconPadlock;
      if (row.wps == 1) return kIconWps;
      if (row.secured == 1) return kIconKey;
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::string SignalCellText(int rssi, bool showDbm) {
  char text[32];
  if (showDbm) {
    std::snprintf(text, sizeof text, "%d dBm", rssi);
  } else {
    std::snprintf(text, sizeof text, "%d%%", RssiToPercent(rssi));
  }
  return text;
}

uint32_t SignalBarColour(int percent) {
  if (percent <= 25) return 0x2828F0;
  if (percent <= 50) return 0x32E6FA;
  if (percent <= 75) return 0x46F064;
  return 0xC87814;
}

std::optional<size_t> FindConnectedRow(const std::vector<SurveyEntry>& rows, const CurrentLink& link) {
  if (link.bssid == MacAddress{}) return std::nullopt;
  std::optional<size_t> found;
  for (size_t i = 0; i < rows.size(); ++i) {
    const SurveyEntry& row = rows[i];
    if (row.bssid != link.bssid || row.infrastructureMode != link.infrastructure) continue;
    found = i;
    const bool sameChannel = link.channel && row.channel != 0 && row.channel == *link.channel;
    if (!sameChannel) continue;
    // Compared over the longer of the two, at most 32 bytes, as zero-padded fields.
    const size_t span = std::min<size_t>(std::max(row.ssid.size(), link.ssid.size()), 32);
    std::string a = row.ssid.substr(0, span), b = link.ssid.substr(0, span);
    a.resize(span, '\0');
    b.resize(span, '\0');
    if (link.ssid.empty() || row.ssid.empty() || a == b) return i;
  }
  return found;
}

}  // namespace ov::survey
