#include "cli/decode_command.h"

#include <ostream>

#include "cli/cli.h"
#include "cli/survey_rows.h"
#include "driver/oid/bssid_list.h"
#include "views/pcap_beacons.h"

namespace ov::cli {

namespace {

constexpr const char* kUsage = "usage: ovuictl decode FILE.pcap [--json]\n";

// One listed BSS: the frame it came from and its survey row.
struct DecodedBss {
  const CapturedBss* frame = nullptr;
  SurveyRow row;
};

void PrintRows(const std::vector<DecodedBss>& list, const PcapSummary& beacons, std::ostream& out) {
  PrintSurveyHeader(out);
  for (const DecodedBss& bss : list) PrintSurveyRow(bss.row, out);
  out << list.size() << (list.size() == 1 ? " BSS" : " BSSs") << " from " << beacons.frameCount
      << " beacon and probe-response frames of " << beacons.recordCount << " records\n";
}

void PrintJson(const std::string& path, const std::vector<DecodedBss>& list,
               const PcapSummary& beacons, std::ostream& out) {
  out << "{\n  \"file\": " << Json(path) << ",\n  \"linkType\": " << beacons.linkType
      << ",\n  \"records\": " << beacons.recordCount << ",\n  \"frames\": " << beacons.frameCount
      << ",\n  \"truncated\": " << (beacons.truncated ? "true" : "false") << ",\n";
  PrintSurveyFieldLabels(out);
  out << ",\n  \"bss\": [";
  for (size_t i = 0; i < list.size(); ++i) {
    const DecodedBss& bss = list[i];
    out << (i ? ",\n" : "\n") << "    {\n      \"frame\": " << bss.frame->frameNumber
        << ",\n      \"frameType\": " << (bss.frame->probeResponse ? "\"probe response\"" : "\"beacon\"")
        << ",\n      ";
    PrintSurveyJsonMembers(bss.row, out);
    out << "\n    }";
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

  // Frame by frame: only the latest frame of each BSSID the scan list can still hold is kept.
  PcapSummary beacons;
  LatestFramePerBssid perBss(kBssidListBufferSize);
  std::string error;
  if (!DecodePcapFile(path, beacons, [&](CapturedBss&& frame) { perBss.Add(std::move(frame)); },
                      error)) {
    err << "ERROR: " << error << "\n";
    return kExitFailed;
  }
  if (beacons.truncated) err << "warning: the capture ends inside a record; the frames before it are shown\n";

  // The same road as a scan: one entry per BSS into a scan list of the utility's size, then
  // every entry of the list through the decoder.
  std::vector<uint8_t> scanList(kBssidListBufferSize);
  BssidListWriter writer(scanList);
  std::vector<const CapturedBss*> listed;
  for (const CapturedBss& frame : perBss.kept()) {
    if (frame.oversized || !writer.Append(frame.entry)) break;
    listed.push_back(&frame);
  }
  if (size_t leftOut = perBss.kept().size() - listed.size() + perBss.leftOut(); leftOut > 0) {
    const bool floor = perBss.leftOut() >= LatestFramePerBssid::kMaxCountedLeftOut;
    err << "warning: the scan list is full; " << (floor ? "at least " : "") << leftOut
        << " BSSs left out\n";
  }
  std::vector<DecodedBss> decoded;
  const auto entries = BssidListEntries(scanList);
  for (size_t i = 0; i < entries.size() && i < listed.size(); ++i) {
    decoded.push_back(DecodedBss{listed[i], DescribeSurveyRow(entries[i], listed[i]->signalKnown)});
  }

  if (json) {
    PrintJson(path, decoded, beacons, out);
  } else {
    PrintRows(decoded, beacons, out);
  }
  return kExitOk;
}

}  // namespace ov::cli
