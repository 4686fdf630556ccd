#include "cli/decode_command.h"

#include <cstdio>
#include <ostream>
#include <string_view>

#include "cli/cli.h"
#include "driver/channel_frequency.h"
#include "driver/oid/bssid_list.h"
#include "driver/signal_strength.h"
#include "views/bss_describe.h"
#include "views/pcap_beacons.h"

namespace ov::cli {

namespace {

constexpr const char* kUsage = "usage: ovuictl decode FILE.pcap [--json]\n";

// One listed BSS: its scan-list entry and what the decoder makes of it.
struct DecodedBss {
  const CapturedBss* frame = nullptr;
  NDIS_WLAN_BSSID_EX fixed;
  std::array<std::vector<std::string>, 4> forms;
  std::array<uint8_t, kHtMcsSetSize> mcsSet{};
};

// Length of the valid UTF-8 sequence at `at`, 0 when there is none.
size_t Utf8SequenceLength(std::string_view s, size_t at) {
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

// SSIDs are bytes: invalid UTF-8 shows as U+FFFD, control characters as `control`.
std::string PrintableText(std::string_view s, bool jsonEscapes) {
  std::string out;
  for (size_t at = 0; at < s.size();) {
    const size_t n = Utf8SequenceLength(s, at);
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

std::string Json(std::string_view s) { return "\"" + PrintableText(s, true) + "\""; }

std::string MacText(const std::array<uint8_t, kNdisMacAddressSize>& mac) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2], mac[3],
                mac[4], mac[5]);
  return text;
}

std::string HexText(std::span<const uint8_t> bytes) {
  std::string out;
  char pair[3];
  for (uint8_t b : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", b);
    out += pair;
  }
  return out;
}

// The survey shows a network without security elements but with privacy set as WEP.
std::string SecurityText(const DecodedBss& bss) {
  const auto& security = bss.forms[kBssFormSecurity];
  std::string cipher = security.at(1);
  if (cipher == "None" && bss.fixed.Privacy) cipher = "WEP";
  return security.at(0) + " / " + cipher;
}

// Display width of UTF-8 text, counting each code point as one column.
size_t Columns(std::string_view s) {
  size_t n = 0;
  for (char c : s) n += (static_cast<uint8_t>(c) & 0xC0) != 0x80;
  return n;
}

std::string Padded(std::string text, size_t width) {
  const size_t columns = Columns(text);
  if (columns < width) text.append(width - columns, ' ');
  return text;
}

void PrintRows(const std::vector<DecodedBss>& list, const PcapBeacons& beacons, std::ostream& out) {
  out << Padded("SSID", 33) << Padded("BSSID", 19) << Padded(" CH", 5) << Padded("SIGNAL", 14)
      << Padded("SECURITY", 28) << Padded("WPS", 5) << "HT\n";
  for (const DecodedBss& bss : list) {
    const uint32_t channel = FrequencyToChannel(bss.fixed.Configuration.DSConfig);
    char channelText[12] = "";
    if (channel) std::snprintf(channelText, sizeof channelText, "%3u", channel);
    char signal[24] = "-";
    if (bss.frame->signalKnown) {
      std::snprintf(signal, sizeof signal, "%d dBm %3d%%", bss.fixed.Rssi, RssiToPercent(bss.fixed.Rssi));
    }
    const std::string ssid(NdisSsidText(bss.fixed.Ssid));
    out << Padded(PrintableText(ssid, false), 32) << ' ' << Padded(MacText(bss.fixed.MacAddress), 19)
        << Padded(channelText, 5) << Padded(signal, 14) << Padded(SecurityText(bss), 27) << ' '
        << Padded(bss.forms[kBssFormWps].at(kWpsPresent) == "TRUE" ? "yes" : "no", 5)
        << (bss.forms[kBssFormHt].at(kHtInformationPresent) == "TRUE" ? "yes" : "no") << "\n";
  }
  out << list.size() << (list.size() == 1 ? " BSS" : " BSSs") << " from " << beacons.frames.size()
      << " beacon and probe-response frames of " << beacons.recordCount << " records\n";
}

void PrintJsonArray(std::ostream& out, const std::vector<std::string>& items) {
  out << "[";
  for (size_t i = 0; i < items.size(); ++i) out << (i ? ", " : "") << Json(items[i]);
  out << "]";
}

template <size_t N>
std::vector<std::string> Strings(const std::array<std::string_view, N>& labels) {
  return {labels.begin(), labels.end()};
}

void PrintJson(const std::string& path, const std::vector<DecodedBss>& list,
               const PcapBeacons& beacons, std::ostream& out) {
  out << "{\n  \"file\": " << Json(path) << ",\n  \"linkType\": " << beacons.linkType
      << ",\n  \"records\": " << beacons.recordCount << ",\n  \"frames\": " << beacons.frames.size()
      << ",\n  \"truncated\": " << (beacons.truncated ? "true" : "false") << ",\n  \"fieldLabels\": {\n"
      << "    \"security\": [\"Authentication Type\", \"Encryption Type\"],\n"
      << "    \"ccx\": [\"CCKM\", \"Cmic\", \"Ckip\"],\n    \"wps\": ";
  PrintJsonArray(out, Strings(kBssWpsFieldLabels));
  out << ",\n    \"ht\": ";
  PrintJsonArray(out, Strings(kBssHtFieldLabels));
  out << "\n  },\n  \"bss\": [";
  for (size_t i = 0; i < list.size(); ++i) {
    const DecodedBss& bss = list[i];
    const NDIS_WLAN_BSSID_EX& f = bss.fixed;
    const uint32_t channel = FrequencyToChannel(f.Configuration.DSConfig);
    out << (i ? ",\n" : "\n") << "    {\n      \"frame\": " << bss.frame->frameNumber
        << ",\n      \"frameType\": " << (bss.frame->probeResponse ? "\"probe response\"" : "\"beacon\"")
        << ",\n      \"ssid\": " << Json(NdisSsidText(f.Ssid))
        << ",\n      \"bssid\": " << Json(MacText(f.MacAddress))
        << ",\n      \"channel\": " << (channel ? std::to_string(channel) : "null")
        << ",\n      \"dsConfigKHz\": " << f.Configuration.DSConfig
        << ",\n      \"rssiDbm\": " << (bss.frame->signalKnown ? std::to_string(f.Rssi) : "null")
        << ",\n      \"signalPercent\": "
        << (bss.frame->signalKnown ? std::to_string(RssiToPercent(f.Rssi)) : "null")
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
    PrintJsonArray(out, bss.forms[kBssFormSecurity]);
    out << ",\n        \"ccx\": ";
    PrintJsonArray(out, bss.forms[kBssFormCcx]);
    out << ",\n        \"wps\": ";
    PrintJsonArray(out, bss.forms[kBssFormWps]);
    out << ",\n        \"ht\": ";
    PrintJsonArray(out, bss.forms[kBssFormHt]);
    out << "\n      },\n      \"htMcsSet\": " << Json(HexText(bss.mcsSet)) << "\n    }";
  }
  out << (list.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

}  // namespace

int RunDecodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool json = false;
  std::string path;
  for (const auto& arg : args) {
    if (arg == "--json") {
      json = true;
    } else if (arg == "--help" || arg == "-h") {
      out << kUsage
          << "Reads the beacons and probe responses of a pcap capture (802.11, radiotap or Prism\n"
             "link type), makes the scan list the utility would hold from them, one entry per\n"
             "BSS, and prints each entry as the site survey lists it. --json gives every\n"
             "decoded form of each entry's information elements.\n";
      return kExitOk;
    } else if (!arg.empty() && arg[0] == '-') {
      err << "ERROR: unknown option \"" << arg << "\"\n" << kUsage;
      return kExitUsage;
    } else if (path.empty()) {
      path = arg;
    } else {
      err << "ERROR: more than one capture file given\n" << kUsage;
      return kExitUsage;
    }
  }
  if (path.empty()) {
    err << "ERROR: no capture file given\n" << kUsage;
    return kExitUsage;
  }

  PcapBeacons beacons;
  std::string error;
  if (!ReadPcapBeacons(path, beacons, error)) {
    err << "ERROR: " << error << "\n";
    return kExitFailed;
  }
  if (beacons.truncated) err << "warning: the capture ends inside a record; the frames before it are shown\n";

  // The same road as a scan: one entry per BSS into a scan list of the utility's size, then
  // every entry of the list through the decoder.
  std::vector<uint8_t> scanList(kBssidListBufferSize);
  BssidListWriter writer(scanList);
  std::vector<const CapturedBss*> listed;
  const auto perBss = LatestFramePerBss(beacons.frames);
  for (const CapturedBss* frame : perBss) {
    if (!writer.Append(frame->entry)) {
      err << "warning: the scan list is full; " << perBss.size() - listed.size() << " BSSs left out\n";
      break;
    }
    listed.push_back(frame);
  }
  std::vector<DecodedBss> decoded;
  const auto entries = BssidListEntries(scanList);
  for (size_t i = 0; i < entries.size() && i < listed.size(); ++i) {
    DecodedBss bss;
    bss.frame = listed[i];
    DecodeNdisWlanBssidEx(entries[i], bss.fixed);
    for (int form = kBssFormSecurity; form <= kBssFormHt; ++form) {
      bss.forms[form] = SplitBssForm(DescribeBss(entries[i], form, &bss.mcsSet));
    }
    decoded.push_back(std::move(bss));
  }

  if (json) {
    PrintJson(path, decoded, beacons, out);
  } else {
    PrintRows(decoded, beacons, out);
  }
  return kExitOk;
}

}  // namespace ov::cli
