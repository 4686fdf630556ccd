#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Beacons and probe responses out of a capture file, each turned into a scan-list entry as the
// scan worker would make it from the wireless service's BSS entry. Used by `ovuictl decode`, the
// decoder's tests and its benchmark. Only classic pcap files are read (either byte order,
// micro- or nanosecond stamps), with 802.11 frames bare, behind a radiotap header or behind a
// Prism header.
namespace ov {

enum PcapLinkType : uint32_t {
  kLinkTypeIeee80211 = 105,  // LINKTYPE_IEEE802_11
  kLinkTypePrism = 119,      // LINKTYPE_IEEE802_11_PRISM
  kLinkTypeRadiotap = 127,   // LINKTYPE_IEEE802_11_RADIOTAP
};

// What a radio header says about a frame.
struct RadioInfo {
  bool signalKnown = false;
  int32_t signalDbm = 0;       // radiotap's first dBm antenna signal
  uint32_t frequencyMHz = 0;   // radiotap's channel field, 0 when absent
  bool fcsAtEnd = false;       // radiotap's flags say the frame keeps its FCS
};

// Splits one captured record into its radio header's information and the 802.11 frame (without
// a trailing FCS). False when the record is too short for its header or the link type is not
// one of the three.
bool SplitRadioHeader(uint32_t linkType, std::span<const uint8_t> record,
                      std::span<const uint8_t>& frame, RadioInfo& radio);

// The scan-list entry of one beacon or probe response: BSSID, SSID from the SSID element,
// privacy from the capability information, beacon interval, DSConfig from the DS Parameter Set
// element's channel (the radio header's frequency when the element is missing or its channel
// unknown), the rates of both rate elements, the radio's signal (0 when unknown), the
// infrastructure mode from the ESS and IBSS bits, the network type from the PHY the rates and HT
// elements show, and the elements as they are. Nothing for other frames.
std::optional<std::vector<uint8_t>> BeaconToBssidEntry(std::span<const uint8_t> frame,
                                                       const RadioInfo& radio,
                                                       bool* probeResponse = nullptr);

struct CapturedBss {
  uint32_t frameNumber = 0;  // 1-based, counting every record of the file
  bool probeResponse = false;
  bool signalKnown = false;
  bool oversized = false;      // the entry is larger than a scan list; only its fixed part kept
  std::vector<uint8_t> entry;  // NDIS_WLAN_BSSID_EX with its elements
};

struct PcapBeacons {
  uint32_t linkType = 0;
  uint32_t recordCount = 0;
  bool truncated = false;  // the file ended inside a record; what came before is kept
  std::vector<CapturedBss> frames;
};

// What a decoded capture held.
struct PcapSummary {
  uint32_t linkType = 0;
  uint32_t recordCount = 0;
  uint32_t frameCount = 0;  // beacons and probe responses
  bool truncated = false;   // the file ended inside a record; what came before is kept
};

// Records longer than this (pcap's largest snapshot length) are counted but not decoded.
constexpr size_t kPcapMaxRecordBytes = 262144;

using PcapFrameSink = std::function<void(CapturedBss&&)>;

// Decodes a capture record by record, handing each beacon and probe response to `sink` in file
// order; memory stays at one record whatever the file's size. False, with a message, when the
// bytes are not a pcap file of a supported link type or cannot be read. DecodePcapFile reads
// only a regular file (never a FIFO, device or folder, nor a link planted in a shared folder).
bool DecodePcapBytes(std::span<const uint8_t> file, PcapSummary& summary,
                     const PcapFrameSink& sink, std::string& error);
bool DecodePcapFile(const std::string& path, PcapSummary& summary, const PcapFrameSink& sink,
                    std::string& error);

// The same, every frame kept in memory (tests and small captures).
bool ParsePcapBeacons(std::span<const uint8_t> file, PcapBeacons& out, std::string& error);
bool ReadPcapBeacons(const std::string& path, PcapBeacons& out, std::string& error);

// One entry per BSSID, in the order the BSSIDs first appear, each the latest frame's: what a
// scan list would hold after the capture.
std::vector<const CapturedBss*> LatestFramePerBss(const std::vector<CapturedBss>& frames);

// LatestFramePerBss fed frame by frame, holding no more than a scan list of `listBytes` could
// list: every entry is at least its 116-byte fixed part, so BSSIDs first seen after that many
// others are only counted. Each frame costs one hash lookup.
class LatestFramePerBssid {
 public:
  explicit LatestFramePerBssid(size_t listBytes);
  void Add(CapturedBss&& frame);
  // In the order the BSSIDs first appeared, each the latest frame's.
  const std::vector<CapturedBss>& kept() const { return kept_; }
  // Distinct BSSIDs that came after the list could hold no more, counted up to
  // kMaxCountedLeftOut (the memory of the count must not grow with the file).
  static constexpr size_t kMaxCountedLeftOut = 65536;
  size_t leftOut() const { return leftOut_.size(); }

 private:
  size_t capacity_;
  size_t listBytes_;
  std::vector<CapturedBss> kept_;
  std::unordered_map<uint64_t, size_t> index_;
  std::unordered_set<uint64_t> leftOut_;
};

}  // namespace ov
