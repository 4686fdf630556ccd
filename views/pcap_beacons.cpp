#include "views/pcap_beacons.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "driver/channel_frequency.h"
#include "driver/oid/bssid_list.h"
#include "driver/oid/byte_codec.h"
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

bool ParsePcapBeacons(std::span<const uint8_t> file, PcapBeacons& out, std::string& error) {
  out = {};
  if (file.size() < kPcapHeaderSize) {
    error = "not a pcap file: shorter than its header";
    return false;
  }
  const uint32_t magic = GetU32(file, 0);
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
  const auto u32 = [&](size_t at) {
    const uint32_t v = GetU32(file, at);
    return bigEndian ? __builtin_bswap32(v) : v;
  };
  // The link-type word keeps the type in its low 16 bits; bit 28 says every frame ends in an
  // FCS whose length in 16-bit words is in bits 29-31.
  const uint32_t linkWord = u32(20);
  out.linkType = linkWord & 0xFFFF;
  const size_t fileFcsSize = (linkWord & (1u << 28)) ? ((linkWord >> 29) & 7) * 2 : 0;
  if (out.linkType != kLinkTypeIeee80211 && out.linkType != kLinkTypeRadiotap &&
      out.linkType != kLinkTypePrism) {
    error = "unsupported link type " + std::to_string(out.linkType) +
            " (802.11 105, Prism 119 and radiotap 127 are read)";
    return false;
  }
  size_t at = kPcapHeaderSize;
  while (at < file.size()) {
    if (!Fits(file.size(), at, kPcapRecordHeaderSize)) {
      out.truncated = true;
      break;
    }
    const size_t captured = u32(at + 8);
    if (!Fits(file.size(), at + kPcapRecordHeaderSize, captured)) {
      out.truncated = true;
      break;
    }
    const auto record = file.subspan(at + kPcapRecordHeaderSize, captured);
    at += kPcapRecordHeaderSize + captured;
    ++out.recordCount;

    std::span<const uint8_t> frame;
    RadioInfo radio;
    if (!SplitRadioHeader(out.linkType, record, frame, radio)) continue;
    if (fileFcsSize && !radio.fcsAtEnd) {
      if (frame.size() < fileFcsSize) continue;
      frame = frame.first(frame.size() - fileFcsSize);
    }
    CapturedBss bss;
    auto entry = BeaconToBssidEntry(frame, radio, &bss.probeResponse);
    if (!entry) continue;
    bss.frameNumber = out.recordCount;
    bss.signalKnown = radio.signalKnown;
    bss.entry = std::move(*entry);
    out.frames.push_back(std::move(bss));
  }
  return true;
}

bool ReadPcapBeacons(const std::string& path, PcapBeacons& out, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error = "cannot read " + path;
    return false;
  }
  return ParsePcapBeacons(bytes, out, error);
}

std::vector<const CapturedBss*> LatestFramePerBss(const std::vector<CapturedBss>& frames) {
  std::vector<const CapturedBss*> latest;
  for (const CapturedBss& frame : frames) {
    const auto bssid = std::span(frame.entry).subspan(bssid_entry_offset::kMacAddress, kNdisMacAddressSize);
    auto same = std::find_if(latest.begin(), latest.end(), [&](const CapturedBss* seen) {
      const auto seenBssid = std::span(seen->entry).subspan(bssid_entry_offset::kMacAddress, kNdisMacAddressSize);
      return std::equal(bssid.begin(), bssid.end(), seenBssid.begin());
    });
    if (same == latest.end()) {
      latest.push_back(&frame);
    } else {
      *same = &frame;
    }
  }
  return latest;
}

}  // namespace ov
