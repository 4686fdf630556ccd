#include "views/pcap_beacons.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "driver/channel_frequency.h"
#include "driver/oid/bssid_list.h"
#include "driver/oid/byte_codec.h"
#include "platform/system/regular_file.h"
#include "views/information_elements.h"

namespace ov {

namespace {

using byte_codec::Fits;
using byte_codec::GetU16;
using byte_codec::GetU32;

constexpr size_t kFcsSize = 4;

// ---- 802.11 management frame layout ----
constexpr size_t kBssidOffset = 16;             // Address 3
constexpr size_t kBeaconIntervalOffset = 32;    // after the 8-octet timestamp
constexpr size_t kCapabilityOffset = 34;
constexpr size_t kElementsOffset = 36;
constexpr uint8_t kFrameTypeMask = 0x0C;        // of the first frame-control octet
constexpr uint8_t kFrameTypeManagement = 0x00;
constexpr uint8_t kSubtypeBeacon = 8;
constexpr uint8_t kSubtypeProbeResponse = 5;
constexpr uint8_t kProtocolVersionMask = 0x03;

// Rate octets 0xFE and 0xFF are the VHT and HT BSS membership selectors, not rates.
constexpr uint8_t kMembershipSelectorMin = 126;
constexpr uint8_t kRateMask = 0x7F;

// ---- Radiotap (radiotap.org) ----
constexpr size_t kRadiotapMinSize = 8;
constexpr uint32_t kRadiotapExtBit = 1u << 31;
constexpr uint8_t kRadiotapFlagFcs = 0x10;
enum RadiotapField : unsigned { kTsft = 0, kFlags, kRate, kChannel, kFhss, kAntennaSignalDbm };
struct RadiotapFieldShape {
  size_t align;
  size_t size;
};
constexpr RadiotapFieldShape kRadiotapShapes[] = {{8, 8}, {1, 1}, {1, 1}, {2, 4}, {1, 2}, {1, 1}};

// ---- pcap ----
constexpr size_t kPcapHeaderSize = 24;
constexpr size_t kPcapRecordHeaderSize = 16;
constexpr uint32_t kPcapMagicMicro = 0xA1B2C3D4;
constexpr uint32_t kPcapMagicNano = 0xA1B23C4D;

bool ParseRadiotap(std::span<const uint8_t> record, std::span<const uint8_t>& frame, RadioInfo& radio) {
  if (record.size() < kRadiotapMinSize || record[0] != 0) return false;
  const size_t length = GetU16(record, 2);
  if (length < kRadiotapMinSize || length > record.size()) return false;
  const auto header = record.first(length);
  size_t at = 4;
  const uint32_t present = GetU32(header, at);
  // Further present words (extensions and other namespaces) only move the data start on.
  for (uint32_t word = present; word & kRadiotapExtBit;) {
    at += 4;
    if (!Fits(header.size(), at, 4)) return false;
    word = GetU32(header, at);
  }
  at += 4;
  for (unsigned field = kTsft; field <= kAntennaSignalDbm; ++field) {
    if (!(present & (1u << field))) continue;
    const RadiotapFieldShape shape = kRadiotapShapes[field];
    at = (at + shape.align - 1) / shape.align * shape.align;
    if (!Fits(header.size(), at, shape.size)) break;
    if (field == kFlags) radio.fcsAtEnd = header[at] & kRadiotapFlagFcs;
    if (field == kChannel) radio.frequencyMHz = GetU16(header, at);
    if (field == kAntennaSignalDbm) {
      radio.signalKnown = true;
      radio.signalDbm = static_cast<int8_t>(header[at]);
    }
    at += shape.size;
  }
  frame = record.subspan(length);
  return true;
}

bool ParsePrism(std::span<const uint8_t> record, std::span<const uint8_t>& frame) {
  if (record.size() < 8) return false;
  const size_t length = GetU32(record, 4);
  if (length < 8 || length > record.size()) return false;
  frame = record.subspan(length);
  return true;
}

// Elements of the frame that shape the entry's fixed part.
struct BeaconFacts {
  std::span<const uint8_t> ssid;
  std::vector<uint8_t> rates;
  int dsChannel = -1;
  bool ht = false;
};

BeaconFacts ReadBeaconElements(std::span<const uint8_t> elements) {
  BeaconFacts facts;
  bool ssidSeen = false;
  for (size_t at = 0; Fits(elements.size(), at, ie::kHeaderSize);) {
    const uint8_t id = elements[at];
    const uint8_t length = elements[at + 1];
    if (!Fits(elements.size(), at + ie::kHeaderSize, length)) break;
    const auto body = elements.subspan(at + ie::kHeaderSize, length);
    switch (id) {
      case ie::kSsid:
        if (!ssidSeen) facts.ssid = body;
        ssidSeen = true;
        break;
      case ie::kSupportedRates:
      case ie::kExtendedSupportedRates:
        for (uint8_t rate : body) {
          if ((rate & kRateMask) < kMembershipSelectorMin) facts.rates.push_back(rate);
        }
        break;
      case ie::kDsParameterSet:
        if (!body.empty()) facts.dsChannel = body[0];
        break;
      case ie::kHtCapabilities: facts.ht = true; break;
      default: break;
    }
    at += ie::kHeaderSize + length;
  }
  return facts;
}

std::optional<uint32_t> ListedFrequency(int channel) {
  for (const ChannelFrequency& row : ChannelFrequencyTable) {
    if (static_cast<int>(row.channel) == channel) return row.frequencyKHz;
  }
  return std::nullopt;
}

bool IsDsssRate(uint8_t rate) {
  switch (rate & kRateMask) {
    case 2: case 4: case 11: case 22: return true;  // 1, 2, 5.5 and 11 Mbit/s
    default: return false;
  }
}

uint32_t PhyTypeOf(const BeaconFacts& facts, uint32_t frequencyKHz) {
  if (facts.ht) return dot11_phy_type_ht;
  const bool ofdm = std::any_of(facts.rates.begin(), facts.rates.end(),
                                [](uint8_t r) { return !IsDsssRate(r); });
  if (!ofdm) return dot11_phy_type_hrdsss;
  return IsBand24Frequency(frequencyKHz) ? dot11_phy_type_erp : dot11_phy_type_ofdm;
}

}  // namespace

bool SplitRadioHeader(uint32_t linkType, std::span<const uint8_t> record,
                      std::span<const uint8_t>& frame, RadioInfo& radio) {
  radio = {};
  bool ok = false;
  switch (linkType) {
    case kLinkTypeIeee80211:
      frame = record;
      ok = true;
      break;
    case kLinkTypeRadiotap: ok = ParseRadiotap(record, frame, radio); break;
    case kLinkTypePrism: ok = ParsePrism(record, frame); break;
    default: return false;
  }
  if (ok && radio.fcsAtEnd) {
    if (frame.size() < kFcsSize) return false;
    frame = frame.first(frame.size() - kFcsSize);
  }
  return ok;
}

std::optional<std::vector<uint8_t>> BeaconToBssidEntry(std::span<const uint8_t> frame,
                                                       const RadioInfo& radio, bool* probeResponse) {
  if (frame.size() < kElementsOffset) return std::nullopt;
  const uint8_t control = frame[0];
  const uint8_t subtype = control >> 4;
  if ((control & kProtocolVersionMask) != 0 || (control & kFrameTypeMask) != kFrameTypeManagement ||
      (subtype != kSubtypeBeacon && subtype != kSubtypeProbeResponse)) {
    return std::nullopt;
  }
  if (probeResponse) *probeResponse = subtype == kSubtypeProbeResponse;

  const auto elements = frame.subspan(kElementsOffset);
  const BeaconFacts facts = ReadBeaconElements(elements);
  const uint16_t capability = GetU16(frame, kCapabilityOffset);

  BssDescription bss;
  std::copy_n(frame.begin() + kBssidOffset, bss.bssid.size(), bss.bssid.begin());
  bss.ssid = std::string_view(reinterpret_cast<const char*>(facts.ssid.data()), facts.ssid.size());
  bss.privacy = capability & ie::kCapPrivacy;
  bss.rssi = radio.signalKnown ? radio.signalDbm : 0;
  bss.beaconPeriod = GetU16(frame, kBeaconIntervalOffset);
  bss.dsConfigKHz = ListedFrequency(facts.dsChannel).value_or(radio.frequencyMHz * 1000);
  bss.infrastructureMode = (capability & ie::kCapEss)    ? Ndis802_11Infrastructure
                           : (capability & ie::kCapIbss) ? Ndis802_11IBSS
                                                         : Ndis802_11AutoUnknown;
  bss.networkTypeInUse = NetworkTypeForPhy(PhyTypeOf(facts, bss.dsConfigKHz), bss.dsConfigKHz);
  bss.rates = facts.rates;
  bss.informationElements = elements;
  return MakeBssidEntry(bss);
}

namespace {

constexpr size_t kListHeaderSize = 4;  // the item count before the entries

// Bytes of a capture, either in memory or read from a file in chunks.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills `out` with `size` bytes; returns how many there were (fewer only at the end), or -1
  // on a read error.
  virtual ptrdiff_t Read(uint8_t* out, size_t size) = 0;
};

class SpanSource final : public ByteSource {
 public:
  explicit SpanSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  ptrdiff_t Read(uint8_t* out, size_t size) override {
    size_t n = std::min(size, bytes_.size() - at_);
    std::copy_n(bytes_.begin() + static_cast<ptrdiff_t>(at_), n, out);
    at_ += n;
    return static_cast<ptrdiff_t>(n);
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

class FileSource final : public ByteSource {
 public:
  explicit FileSource(int fd) : fd_(fd) {}
  ~FileSource() override { ::close(fd_); }
  ptrdiff_t Read(uint8_t* out, size_t size) override {
    size_t done = 0;
    while (done < size) {
      if (at_ == filled_) {
        ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        at_ = 0;
        filled_ = static_cast<size_t>(n);
      }
      size_t n = std::min(size - done, filled_ - at_);
      std::copy_n(buffer_.begin() + static_cast<ptrdiff_t>(at_), n, out + done);
      at_ += n;
      done += n;
    }
    return static_cast<ptrdiff_t>(done);
  }

 private:
  int fd_;
  std::array<uint8_t, 1u << 16> buffer_{};
  size_t at_ = 0;
  size_t filled_ = 0;
};

uint64_t BssidKey(std::span<const uint8_t> entry) {
  uint64_t key = 0;
  for (size_t i = 0; i < kNdisMacAddressSize; ++i) {
    key = key << 8 | entry[bssid_entry_offset::kMacAddress + i];
  }
  return key;
}

bool DecodePcap(ByteSource& source, PcapSummary& summary, const PcapFrameSink& sink,
                std::string& error) {
  summary = {};
  std::array<uint8_t, kPcapHeaderSize> head{};
  const ptrdiff_t got = source.Read(head.data(), head.size());
  if (got < 0) {
    error = "the capture cannot be read";
    return false;
  }
  if (static_cast<size_t>(got) < kPcapHeaderSize) {
    error = "not a pcap file: shorter than its header";
    return false;
  }
  const std::span<const uint8_t> header(head);
  const uint32_t magic = GetU32(header, 0);
  const uint32_t swapped = __builtin_bswap32(magic);
  bool bigEndian = false;
  if (magic == kPcapMagicMicro || magic == kPcapMagicNano) {
    bigEndian = false;
  } else if (swapped == kPcapMagicMicro || swapped == kPcapMagicNano) {
    bigEndian = true;
  } else {
    error = "not a pcap file (pcapng and other formats are not read)";
    return false;
  }
  const auto u32 = [&](std::span<const uint8_t> bytes, size_t at) {
    const uint32_t v = GetU32(bytes, at);
    return bigEndian ? __builtin_bswap32(v) : v;
  };
  // The link-type word keeps the type in its low 16 bits; bit 28 says every frame ends in an
  // FCS whose length in 16-bit words is in bits 29-31.
  const uint32_t linkWord = u32(header, 20);
  summary.linkType = linkWord & 0xFFFF;
  const size_t fileFcsSize = (linkWord & (1u << 28)) ? ((linkWord >> 29) & 7) * 2 : 0;
  if (summary.linkType != kLinkTypeIeee80211 && summary.linkType != kLinkTypeRadiotap &&
      summary.linkType != kLinkTypePrism) {
    error = "unsupported link type " + std::to_string(summary.linkType) +
            " (802.11 105, Prism 119 and radiotap 127 are read)";
    return false;
  }
  std::array<uint8_t, kPcapRecordHeaderSize> recordHead{};
  std::vector<uint8_t> record;
  for (;;) {
    const ptrdiff_t n = source.Read(recordHead.data(), recordHead.size());
    if (n < 0) {
      error = "the capture cannot be read";
      return false;
    }
    if (n == 0) break;
    if (static_cast<size_t>(n) < kPcapRecordHeaderSize) {
      summary.truncated = true;
      break;
    }
    const size_t captured = u32(recordHead, 8);
    // A record larger than any capture length is read through in pieces and not decoded, so a
    // hostile length never decides how much memory is taken.
    const size_t kept = std::min(captured, kPcapMaxRecordBytes);
    record.resize(kept);
    ptrdiff_t r = source.Read(record.data(), kept);
    size_t rest = captured - kept;
    while (r >= 0 && static_cast<size_t>(r) == kept && rest > 0) {
      std::array<uint8_t, 4096> discard{};
      const size_t step = std::min(rest, discard.size());
      const ptrdiff_t d = source.Read(discard.data(), step);
      if (d < 0 || static_cast<size_t>(d) < step) {
        r = d < 0 ? -1 : 0;
        break;
      }
      rest -= step;
    }
    if (r < 0) {
      error = "the capture cannot be read";
      return false;
    }
    if (static_cast<size_t>(r) < kept || rest > 0) {
      summary.truncated = true;
      break;
    }
    ++summary.recordCount;
    if (captured > kPcapMaxRecordBytes) continue;

    std::span<const uint8_t> frame;
    RadioInfo radio;
    if (!SplitRadioHeader(summary.linkType, record, frame, radio)) continue;
    if (fileFcsSize && !radio.fcsAtEnd) {
      if (frame.size() < fileFcsSize) continue;
      frame = frame.first(frame.size() - fileFcsSize);
    }
    CapturedBss bss;
    auto entry = BeaconToBssidEntry(frame, radio, &bss.probeResponse);
    if (!entry) continue;
    ++summary.frameCount;
    bss.frameNumber = summary.recordCount;
    bss.signalKnown = radio.signalKnown;
    bss.entry = std::move(*entry);
    sink(std::move(bss));
  }
  return true;
}

}  // namespace

bool DecodePcapBytes(std::span<const uint8_t> file, PcapSummary& summary,
                     const PcapFrameSink& sink, std::string& error) {
  SpanSource source(file);
  return DecodePcap(source, summary, sink, error);
}

bool DecodePcapFile(const std::string& path, PcapSummary& summary, const PcapFrameSink& sink,
                    std::string& error) {
  summary = {};
  struct stat st{};
  FileProblem problem = FileProblem::None;
  int fd = OpenRegularFileForRead(path, &st, &problem);
  if (fd < 0) {
    error = path + " " + DescribeFileProblem(problem);
    return false;
  }
  FileSource source(fd);
  return DecodePcap(source, summary, sink, error);
}

namespace {

// Runs one of the decoders with every frame collected into `out`.
template <typename Decode>
bool CollectFrames(PcapBeacons& out, const Decode& decode) {
  out = {};
  PcapSummary summary;
  bool ok = decode(summary, [&](CapturedBss&& bss) { out.frames.push_back(std::move(bss)); });
  out.linkType = summary.linkType;
  out.recordCount = summary.recordCount;
  out.truncated = summary.truncated;
  return ok;
}

}  // namespace

bool ParsePcapBeacons(std::span<const uint8_t> file, PcapBeacons& out, std::string& error) {
  return CollectFrames(out, [&](PcapSummary& summary, const PcapFrameSink& sink) {
    return DecodePcapBytes(file, summary, sink, error);
  });
}

bool ReadPcapBeacons(const std::string& path, PcapBeacons& out, std::string& error) {
  return CollectFrames(out, [&](PcapSummary& summary, const PcapFrameSink& sink) {
    return DecodePcapFile(path, summary, sink, error);
  });
}

LatestFramePerBssid::LatestFramePerBssid(size_t listBytes)
    : capacity_((listBytes > kListHeaderSize ? listBytes - kListHeaderSize : 0) /
                bssid_entry_offset::kIEs),
      listBytes_(listBytes) {}

void LatestFramePerBssid::Add(CapturedBss&& frame) {
  if (frame.entry.size() < bssid_entry_offset::kIEs) return;
  const uint64_t key = BssidKey(frame.entry);
  // An entry the list could never hold ends the list where it stands; its bytes are not kept.
  if (frame.entry.size() > listBytes_) {
    frame.entry.resize(bssid_entry_offset::kIEs);
    frame.oversized = true;
  }
  if (auto it = index_.find(key); it != index_.end()) {
    kept_[it->second] = std::move(frame);
    return;
  }
  if (kept_.size() < capacity_) {
    index_.emplace(key, kept_.size());
    kept_.push_back(std::move(frame));
    return;
  }
  // Every entry is at least its fixed part, so no list can reach a BSSID this far back.
  if (leftOut_.size() < kMaxCountedLeftOut) leftOut_.insert(key);
}

std::vector<const CapturedBss*> LatestFramePerBss(const std::vector<CapturedBss>& frames) {
  std::unordered_map<uint64_t, size_t> index;
  std::vector<const CapturedBss*> latest;
  for (const CapturedBss& frame : frames) {
    if (frame.entry.size() < bssid_entry_offset::kIEs) continue;
    auto [it, added] = index.emplace(BssidKey(frame.entry), latest.size());
    if (added) {
      latest.push_back(&frame);
    } else {
      latest[it->second] = &frame;
    }
  }
  return latest;
}

}  // namespace ov
