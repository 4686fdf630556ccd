#pragma once
#include <array>
#include <cstdio>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/channel_frequency.h"
#include "driver/oid/bssid_list.h"
#include "driver/signal_strength.h"
#include "views/bss_describe.h"
#include "platform/system/hex_text.h"
#include "platform/system/mac_address.h"

// Scan-list entries as the site survey lists them, for the commands that print scan lists
// (`ovuictl decode`, `ovuictl scan`): one text row per BSS, or every decoded form as JSON.
namespace ov::cli {

// One listed BSS: its entry's fixed part and what the element decoder makes of it.
struct SurveyRow {
  NDIS_WLAN_BSSID_EX fixed;
  std::array<std::vector<std::string>, 4> forms;
  std::array<uint8_t, kHtMcsSetSize> mcsSet{};
  bool signalKnown = true;  // a capture without radio headers has no signal
};

inline SurveyRow DescribeSurveyRow(std::span<const uint8_t> entry, bool signalKnown) {
  SurveyRow row;
  row.signalKnown = signalKnown;
  DecodeNdisWlanBssidEx(entry, row.fixed);
  for (int form = kBssFormSecurity; form <= kBssFormHt; ++form) {
    row.forms[form] = SplitBssForm(DescribeBss(entry, form, &row.mcsSet));
  }
  return row;
}

namespace survey_detail {

// Length of the valid UTF-8 sequence at `at`, 0 when there is none.
inline size_t Utf8SequenceLength(std::string_view s, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) return 1;
  size_t n = 0;
  uint32_t min = 0;
  if ((lead & 0xE0) == 0xC0) n = 2, min = 0x80;
  else if ((lead & 0xF0) == 0xE0) n = 3, min = 0x800;
  else if ((lead & 0xF8) == 0xF0) n = 4, min = 0x10000;
  else return 0;
  if (at + n > s.size()) return 0;
  uint32_t cp = lead & (0x7F >> n);
  for (size_t i = 1; i < n; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (byte(at + i) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

// Display width of UTF-8 text, counting each code point as one column.
inline size_t Columns(std::string_view s) {
  size_t n = 0;
  for (char c : s) n += (static_cast<uint8_t>(c) & 0xC0) != 0x80;
  return n;
}

inline std::string Padded(std::string text, size_t width) {
  const size_t columns = Columns(text);
  if (columns < width) text.append(width - columns, ' ');
  return text;
}

// The survey shows a network without security elements but with privacy set as WEP.
inline std::string SecurityText(const SurveyRow& row) {
  const auto& security = row.forms[kBssFormSecurity];
  std::string cipher = security.at(1);
  if (cipher == "None" && row.fixed.Privacy) cipher = "WEP";
  return security.at(0) + " / " + cipher;
}

}  // namespace survey_detail

// SSIDs are bytes: invalid UTF-8 shows as U+FFFD, control characters as `?` (or, in JSON, as
// escapes).
inline std::string PrintableText(std::string_view s, bool jsonEscapes) {
  std::string out;
  for (size_t at = 0; at < s.size();) {
    const size_t n = survey_detail::Utf8SequenceLength(s, at);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++at;
      continue;
    }
    const char c = s[at];
    if (n == 1 && jsonEscapes && (c == '"' || c == '\\')) {
      out.push_back('\\');
      out.push_back(c);
    } else if (n == 1 && static_cast<uint8_t>(c) < 0x20) {
      if (jsonEscapes) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
        out += escaped;
      } else {
        out.push_back('?');
      }
    } else {
      out.append(s.substr(at, n));
    }
    at += n;
  }
  return out;
}

inline std::string Json(std::string_view s) { return "\"" + PrintableText(s, true) + "\""; }

inline std::string MacText(const MacAddress& mac) { return FormatMacAddress(mac); }

inline std::string HexText(std::span<const uint8_t> bytes) { return HexEncode(bytes); }

inline void PrintSurveyHeader(std::ostream& out) {
  using survey_detail::Padded;
  out << Padded("SSID", 33) << Padded("BSSID", 19) << Padded(" CH", 5) << Padded("SIGNAL", 14)
      << Padded("SECURITY", 28) << Padded("WPS", 5) << "HT\n";
}

// SSID, BSSID, channel, signal in dBm and percent, security, WPS, HT.
inline void PrintSurveyRow(const SurveyRow& row, std::ostream& out) {
  using survey_detail::Padded;
  const uint32_t channel = FrequencyToChannel(row.fixed.Configuration.DSConfig);
  char channelText[12] = "";
  if (channel) std::snprintf(channelText, sizeof channelText, "%3u", channel);
  char signal[24] = "-";
  if (row.signalKnown) {
    std::snprintf(signal, sizeof signal, "%d dBm %3d%%", row.fixed.Rssi, RssiToPercent(row.fixed.Rssi));
  }
  const std::string ssid(NdisSsidText(row.fixed.Ssid));
  out << Padded(PrintableText(ssid, false), 32) << ' ' << Padded(MacText(row.fixed.MacAddress), 19)
      << Padded(channelText, 5) << Padded(signal, 14) << Padded(survey_detail::SecurityText(row), 27)
      << ' ' << Padded(row.forms[kBssFormWps].at(kWpsPresent) == "TRUE" ? "yes" : "no", 5)
      << (row.forms[kBssFormHt].at(kHtInformationPresent) == "TRUE" ? "yes" : "no") << "\n";
}

inline void PrintJsonArray(std::ostream& out, const std::vector<std::string>& items) {
  out << "[";
  for (size_t i = 0; i < items.size(); ++i) out << (i ? ", " : "") << Json(items[i]);
  out << "]";
}

// `"fieldLabels": {...}` with the labels of the decoded forms, indented for a top-level member.
inline void PrintSurveyFieldLabels(std::ostream& out) {
  out << "  \"fieldLabels\": {\n"
      << "    \"security\": [\"Authentication Type\", \"Encryption Type\"],\n"
      << "    \"ccx\": [\"CCKM\", \"Cmic\", \"Ckip\"],\n    \"wps\": ";
  PrintJsonArray(out, {kBssWpsFieldLabels.begin(), kBssWpsFieldLabels.end()});
  out << ",\n    \"ht\": ";
  PrintJsonArray(out, {kBssHtFieldLabels.begin(), kBssHtFieldLabels.end()});
  out << "\n  }";
}

// The members of one entry's JSON object from "ssid" to "htMcsSet", at the indentation of an
// object inside a top-level array; no separator before or after.
inline void PrintSurveyJsonMembers(const SurveyRow& row, std::ostream& out) {
  const NDIS_WLAN_BSSID_EX& f = row.fixed;
  const uint32_t channel = FrequencyToChannel(f.Configuration.DSConfig);
  out << "\"ssid\": " << Json(NdisSsidText(f.Ssid)) << ",\n      \"bssid\": " << Json(MacText(f.MacAddress))
      << ",\n      \"channel\": " << (channel ? std::to_string(channel) : "null")
      << ",\n      \"dsConfigKHz\": " << f.Configuration.DSConfig
      << ",\n      \"rssiDbm\": " << (row.signalKnown ? std::to_string(f.Rssi) : "null")
      << ",\n      \"signalPercent\": "
      << (row.signalKnown ? std::to_string(RssiToPercent(f.Rssi)) : "null")
      << ",\n      \"privacy\": " << (f.Privacy ? "true" : "false")
      << ",\n      \"infrastructureMode\": " << f.InfrastructureMode
      << ",\n      \"networkTypeInUse\": " << f.NetworkTypeInUse
      << ",\n      \"beaconPeriod\": " << f.Configuration.BeaconPeriod << ",\n      \"supportedRates\": [";
  bool first = true;
  for (uint8_t rate : f.SupportedRates) {
    if (rate == 0) break;
    out << (first ? "" : ", ") << unsigned{rate};
    first = false;
  }
  out << "],\n      \"ieLength\": " << f.IELength << ",\n      \"forms\": {\n        \"security\": ";
  PrintJsonArray(out, row.forms[kBssFormSecurity]);
  out << ",\n        \"ccx\": ";
  PrintJsonArray(out, row.forms[kBssFormCcx]);
  out << ",\n        \"wps\": ";
  PrintJsonArray(out, row.forms[kBssFormWps]);
  out << ",\n        \"ht\": ";
  PrintJsonArray(out, row.forms[kBssFormHt]);
  out << "\n      },\n      \"htMcsSet\": " << Json(HexText(row.mcsSet));
}

}  // namespace ov::cli
