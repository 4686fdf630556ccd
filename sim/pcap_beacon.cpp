#include "sim/pcap_beacon.h"

#include "platform/system/regular_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "sim/element_constants.h"
#include "views/pcap_beacons.h"

namespace ov::sim {

namespace {

constexpr size_t kGlobalHeaderSize = 24;
constexpr size_t kRecordHeaderSize = 16;
constexpr uint32_t kMagicMicro = 0xA1B2C3D4;
constexpr uint32_t kMagicNano = 0xA1B23C4D;

uint32_t Swap32(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
}

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
         static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t Le16(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// The whole elements at the start of `bytes`.
std::vector<uint8_t> WholeElements(std::span<const uint8_t> bytes) {
  size_t end = 0;
  while (end + ie::kHeaderSize <= bytes.size() &&
         end + ie::kHeaderSize + bytes[end + ie::kLengthOffset] <= bytes.size()) {
    end += ie::kHeaderSize + bytes[end + ie::kLengthOffset];
  }
  return std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(end));
}

}  // namespace

std::span<const uint8_t> FindElement(std::span<const uint8_t> elements, uint8_t id) {
  size_t at = 0;
  while (at + ie::kHeaderSize <= elements.size()) {
    size_t length = elements[at + ie::kLengthOffset];
    if (at + ie::kHeaderSize + length > elements.size()) break;
    if (elements[at] == id) return elements.subspan(at, ie::kHeaderSize + length);
    at += ie::kHeaderSize + length;
  }
  return {};
}

bool ReadBeaconFromPcap(std::span<const uint8_t> file, uint32_t index, CapturedBeacon* beacon,
                        std::string* error) {
  if (file.size() < kGlobalHeaderSize) {
    *error = "not a pcap capture (too short)";
    return false;
  }
  uint32_t magic = Le32(file, 0);
  bool swapped = false;
  if (magic == Swap32(kMagicMicro) || magic == Swap32(kMagicNano)) {
    swapped = true;
  } else if (magic != kMagicMicro && magic != kMagicNano) {
    *error = "not a pcap capture (unknown magic number)";
    return false;
  }
  auto word = [&](size_t at) { return swapped ? Swap32(Le32(file, at)) : Le32(file, at); };
  uint32_t linkType = word(20) & 0xFFFF;
  if (linkType != kLinkTypeIeee80211 && linkType != kLinkTypeRadiotap &&
      linkType != kLinkTypePrism) {
    *error = "link type " + std::to_string(linkType) + " is not 802.11 (105), radiotap (127) or Prism (119)";
    return false;
  }
  uint32_t seen = 0;
  size_t at = kGlobalHeaderSize;
  while (at + kRecordHeaderSize <= file.size()) {
    uint32_t captured = word(at + 8);
    at += kRecordHeaderSize;
    if (captured > file.size() - at) break;  // a cut-off last record
    std::span<const uint8_t> frame;
    RadioInfo radio;  // the radio header's reader also drops a frame check sequence it announces
    bool split = SplitRadioHeader(linkType, file.subspan(at, captured), frame, radio);
    at += captured;
    if (!split) continue;
    if (frame.size() < ie::kMacHeaderSize + ie::kBeaconFixedSize) continue;
    if (frame[0] != ie::kFrameControlBeacon && frame[0] != ie::kFrameControlProbeResponse) continue;
    if (seen++ != index) continue;
    CapturedBeacon result;
    std::copy_n(frame.begin() + 16, 6, result.bssid.begin());  // address 3
    std::span<const uint8_t> fixed = frame.subspan(ie::kMacHeaderSize);
    for (int i = 7; i >= 0; --i) result.timestamp = result.timestamp << 8 | fixed[static_cast<size_t>(i)];
    result.beaconPeriod = Le16(fixed, 8);
    result.capability = Le16(fixed, 10);
    result.elements = WholeElements(frame.subspan(ie::kMacHeaderSize + ie::kBeaconFixedSize));
    *beacon = std::move(result);
    return true;
  }
  *error = "the capture has " + std::to_string(seen) + " beacons or probe responses; frame " +
           std::to_string(index) + " asked";
  return false;
}

bool ReadBeaconFromPcapFile(const std::string& path, uint32_t index, CapturedBeacon* beacon,
                            std::string* error) {
  // The beacon captures a scenario names are small; anything else is refused, not read.
  constexpr size_t kBeaconCaptureMaxBytes = 64u << 20;
  std::string text;
  if (FileProblem problem = ReadRegularFile(path, kBeaconCaptureMaxBytes, text);
      problem != FileProblem::None) {
    *error = "cannot read " + path;
    if (problem == FileProblem::NotRegular || problem == FileProblem::TooLarge ||
        problem == FileProblem::PlantedLink) {
      *error += std::string(": it ") + DescribeFileProblem(problem);
    }
    return false;
  }
  std::vector<uint8_t> bytes(text.begin(), text.end());
  if (!ReadBeaconFromPcap(bytes, index, beacon, error)) {
    *error = path + ": " + *error;
    return false;
  }
  return true;
}

}  // namespace ov::sim
