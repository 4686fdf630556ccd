// The capture reader against hand-made pcap files, radio headers and management frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver/oid/bssid_list.h"
#include "tests/bssdescribe/element_builder.h"
#include "tests/support/temp_dir.h"
#include "views/pcap_beacons.h"

namespace ov {
namespace {

using namespace ov::test;

constexpr MacAddress kBss = {0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0x01};
constexpr MacAddress kOtherBss = {0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0x02};

Bytes Le32(uint32_t v) { return Cat({Le16(static_cast<uint16_t>(v)), Le16(static_cast<uint16_t>(v >> 16))}); }

// A management frame: frame control, duration, three addresses, sequence, then the body.
Bytes ManagementFrame(uint8_t frameControl, const MacAddress& bssid, const Bytes& body) {
  const Bytes broadcast(6, 0xFF);
  const Bytes address(bssid.begin(), bssid.end());
  return Cat({{frameControl, 0x00, 0x00, 0x00}, broadcast, address, address, {0x10, 0x00}, body});
}

// Timestamp, beacon interval, capability information, elements.
Bytes BeaconBody(uint16_t interval, uint16_t capability, const Bytes& elements) {
  return Cat({Bytes(8, 0x11), Le16(interval), Le16(capability), elements});
}

Bytes Beacon(const Bytes& elements, uint16_t capability = 0x0011, const MacAddress& bssid = kBss) {
  return ManagementFrame(0x80, bssid, BeaconBody(100, capability, elements));
}

Bytes ProbeResponse(const Bytes& elements, const MacAddress& bssid = kBss) {
  return ManagementFrame(0x50, bssid, BeaconBody(200, 0x0001, elements));
}

// A classic pcap file with one record per frame.
Bytes PcapFile(uint32_t linkWord, const std::vector<Bytes>& records, bool bigEndian = false) {
  const auto u32 = [&](uint32_t v) {
    Bytes b = Le32(v);
    if (bigEndian) std::reverse(b.begin(), b.end());
    return b;
  };
  const auto u16 = [&](uint16_t v) {
    Bytes b = Le16(v);
    if (bigEndian) std::reverse(b.begin(), b.end());
    return b;
  };
  Bytes file = Cat({u32(bigEndian ? 0xA1B23C4D : 0xA1B2C3D4), u16(2), u16(4), u32(0), u32(0),
                    u32(65535), u32(linkWord)});
  for (const Bytes& r : records) {
    file = Cat({file, u32(1), u32(2), u32(static_cast<uint32_t>(r.size())), u32(static_cast<uint32_t>(r.size())), r});
  }
  return file;
}

NDIS_WLAN_BSSID_EX Fixed(const std::vector<uint8_t>& entry) {
  NDIS_WLAN_BSSID_EX fixed;
  EXPECT_TRUE(DecodeNdisWlanBssidEx(entry, fixed));
  return fixed;
}

// ---- Radio headers ----

TEST(RadioHeader, RadiotapFieldsAreFoundByTheirAlignment) {
  const Bytes frame = {0xAB, 0xCD, 0xEF};
  const Bytes fcs = {1, 2, 3, 4};
  struct Case {
    const char* name;
    Bytes header;
    bool withFcs;
    RadioInfo want;
  };
  const std::vector<Case> cases = {
      // Flags (FCS), rate, channel at 10 after alignment to 2, signal.
      {"FlagsRateChannelSignal",
       Cat({{0, 0}, Le16(15), Le32(0x2E), {0x10, 0x02}, Le16(2437), Le16(0x00A0), {0xBA}}), true,
       {true, -70, 2437, true}},
      // TSFT first: 8 octets aligned to 8, then the signal.
      {"TsftThenSignal", Cat({{0, 0}, Le16(17), Le32(0x21), Bytes(8, 0x77), {0xD8}}), false, {true, -40, 0, false}},
      // Two more present words (another namespace's bits): data starts after them.
      {"ExtendedPresentWords",
       Cat({{0, 0}, Le16(30), Le32(0xA0000023), Le32(0x80000820), Le32(0x00000820), Bytes(8, 0), {0x00},
            {0xC4}, Bytes(4, 0)}),
       false, {true, -60, 0, false}},
      {"RateOnly", Cat({{0, 0}, Le16(9), Le32(0x04), {0x02}}), false, {false, 0, 0, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes record = Cat({c.header, frame, c.withFcs ? fcs : Bytes{}});
    std::span<const uint8_t> out;
    RadioInfo radio;
    ASSERT_TRUE(SplitRadioHeader(kLinkTypeRadiotap, record, out, radio));
    EXPECT_EQ(Bytes(out.begin(), out.end()), frame);
    EXPECT_EQ(radio.signalKnown, c.want.signalKnown);
    EXPECT_EQ(radio.signalDbm, c.want.signalDbm);
    EXPECT_EQ(radio.frequencyMHz, c.want.frequencyMHz);
    EXPECT_EQ(radio.fcsAtEnd, c.want.fcsAtEnd);
  }
}

TEST(RadioHeader, BadHeadersAreRefused) {
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"LengthPastTheRecord", Cat({{0, 0}, Le16(40), Le32(0)})},
      {"LengthUnder8", Cat({{0, 0}, Le16(6), Le32(0)})},
      {"Version1", Cat({{1, 0}, Le16(8), Le32(0)})},
      {"ExtensionWithoutTheNextWord", Cat({{0, 0}, Le16(8), Le32(0x80000000)})},
      {"FcsLongerThanTheFrame", Cat({{0, 0}, Le16(9), Le32(0x02), {0x10}, {1, 2}})},
      {"ShorterThanAHeader", {0, 0, 8}},
  };
  for (const auto& [name, record] : cases) {
    SCOPED_TRACE(name);
    std::span<const uint8_t> frame;
    RadioInfo radio;
    EXPECT_FALSE(SplitRadioHeader(kLinkTypeRadiotap, record, frame, radio));
  }
}

TEST(RadioHeader, PrismAndBareFrames) {
  const Bytes frame = {0x80, 0x00, 0x01};
  Bytes prism = Cat({Le32(0x44), Le32(144), Bytes(136, 0)});
  std::span<const uint8_t> out;
  RadioInfo radio;
  ASSERT_TRUE(SplitRadioHeader(kLinkTypePrism, Cat({prism, frame}), out, radio));
  EXPECT_EQ(Bytes(out.begin(), out.end()), frame);
  EXPECT_FALSE(radio.signalKnown);
  EXPECT_FALSE(SplitRadioHeader(kLinkTypePrism, Cat({Le32(0x44), Le32(200), Bytes(20, 0)}), out, radio));

  ASSERT_TRUE(SplitRadioHeader(kLinkTypeIeee80211, frame, out, radio));
  EXPECT_EQ(Bytes(out.begin(), out.end()), frame);
  EXPECT_FALSE(SplitRadioHeader(1, frame, out, radio)) << "Ethernet";
}

// ---- Frames to entries ----

TEST(BeaconToEntry, FixedFieldsFromTheFrame) {
  const Bytes ssid = SsidElement("office");
  const Bytes bRates = Element(ie::kSupportedRates, {0x82, 0x84, 0x8B, 0x96});
  const Bytes gRates = Element(ie::kSupportedRates, {0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0x24});
  // The HT membership selector (127 with the basic bit) is no rate.
  const Bytes extRates = Element(ie::kExtendedSupportedRates, {0x30, 0x48, 0x60, 0x6C, 0xFF});
  const Bytes ds1 = Element(ie::kDsParameterSet, {1});
  const Bytes ds36 = Element(ie::kDsParameterSet, {36});
  const Bytes ht = HtCapabilities(0x000C, 0x03, Bytes(16, 0));
  struct Case {
    const char* name;
    Bytes frame;
    uint32_t frequencyMHz;  // from the radio header
    uint32_t dsConfig;
    uint32_t networkType;
    uint32_t infrastructure;
    uint32_t privacy;
    Bytes rates;
  };
  const std::vector<Case> cases = {
      {"DsssOnly", Beacon(Cat({ssid, bRates, ds1})), 0, 2412000, Ndis802_11DS, 1, 1, {0x82, 0x84, 0x8B, 0x96}},
      {"Erp", Beacon(Cat({ssid, gRates, ds1, extRates}), 0x0001), 0, 2412000, Ndis802_11OFDM24, 1, 0,
       {0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0x24, 0x30, 0x48, 0x60, 0x6C}},
      {"Ht24", Beacon(Cat({ssid, gRates, ds1, ht})), 2412, 2412000, Ndis802_11OFDM24, 1, 1,
       {0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0x24}},
      {"Ht5ByDsChannel", Beacon(Cat({ssid, Element(ie::kSupportedRates, {0x8C, 0x12, 0x98}), ds36, ht})), 0, 5180000,
       Ndis802_11OFDM5, 1, 1, {0x8C, 0x12, 0x98}},
      {"Ofdm5ByRadioFrequency", Beacon(Cat({ssid, Element(ie::kSupportedRates, {0x8C, 0x12, 0x98})})), 5200, 5200000,
       Ndis802_11OFDM5, 1, 1, {0x8C, 0x12, 0x98}},
      {"UnlistedDsChannelTakesTheRadio", Beacon(Cat({ssid, bRates, Element(ie::kDsParameterSet, {200})})), 2437,
       2437000, Ndis802_11DS, 1, 1, {0x82, 0x84, 0x8B, 0x96}},
      {"NoChannelAnywhere", Beacon(Cat({ssid, bRates})), 0, 0, Ndis802_11DS, 1, 1, {0x82, 0x84, 0x8B, 0x96}},
      {"Ibss", Beacon(Cat({ssid, bRates, ds1}), 0x0012), 0, 2412000, Ndis802_11DS, 0, 1, {0x82, 0x84, 0x8B, 0x96}},
      {"NeitherEssNorIbss", Beacon(Cat({ssid, bRates, ds1}), 0x0000), 0, 2412000, Ndis802_11DS, 2, 0,
       {0x82, 0x84, 0x8B, 0x96}},
      {"SeventeenRatesKeepSixteen",
       Beacon(Cat({ssid, gRates, Element(ie::kExtendedSupportedRates, {0x30, 0x48, 0x60, 0x6C, 0x0C, 0x12, 0x18, 0x24, 0x30})})),
       0, 0, Ndis802_11OFDM24, 1, 1,
       {0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0x24, 0x30, 0x48, 0x60, 0x6C, 0x0C, 0x12, 0x18, 0x24}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RadioInfo radio;
    radio.frequencyMHz = c.frequencyMHz;
    bool probe = true;
    const auto entry = BeaconToBssidEntry(c.frame, radio, &probe);
    ASSERT_TRUE(entry.has_value());
    EXPECT_FALSE(probe);
    const NDIS_WLAN_BSSID_EX f = Fixed(*entry);
    EXPECT_EQ(f.MacAddress, kBss);
    EXPECT_EQ(NdisSsidText(f.Ssid), "office");
    EXPECT_EQ(f.Configuration.DSConfig, c.dsConfig);
    EXPECT_EQ(f.Configuration.BeaconPeriod, 100u);
    EXPECT_EQ(f.NetworkTypeInUse, c.networkType);
    EXPECT_EQ(f.InfrastructureMode, c.infrastructure);
    EXPECT_EQ(f.Privacy, c.privacy);
    EXPECT_EQ(f.Rssi, 0) << "no signal from the radio header";
    Bytes rates = c.rates;
    rates.resize(16, 0);
    EXPECT_EQ(Bytes(f.SupportedRates.begin(), f.SupportedRates.end()), rates);
    // The elements are the frame's, octet for octet.
    const Bytes elements(c.frame.begin() + 36, c.frame.end());
    EXPECT_EQ(f.IELength, elements.size());
    EXPECT_EQ(Bytes(entry->begin() + 116, entry->end()), elements);
    EXPECT_EQ(f.Length, 116 + elements.size());
  }
}

TEST(BeaconToEntry, SignalHiddenSsidAndProbeResponses) {
  RadioInfo radio;
  radio.signalKnown = true;
  radio.signalDbm = -67;
  bool probe = false;
  const auto entry = BeaconToBssidEntry(ProbeResponse(Cat({Element(ie::kSsid, {}), Element(ie::kDsParameterSet, {11})})),
                                        radio, &probe);
  ASSERT_TRUE(entry);
  EXPECT_TRUE(probe);
  const NDIS_WLAN_BSSID_EX f = Fixed(*entry);
  EXPECT_EQ(f.Rssi, -67);
  EXPECT_EQ(f.Ssid.SsidLength, 0u);
  EXPECT_EQ(f.Configuration.BeaconPeriod, 200u);
  EXPECT_EQ(f.Configuration.DSConfig, 2462000u);
}

TEST(BeaconToEntry, OtherFramesAreNotEntries) {
  const Bytes body = BeaconBody(100, 0x0001, SsidElement("x"));
  const Bytes bare = Beacon({});
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"ProbeRequest", ManagementFrame(0x40, kBss, body)},
      {"Data", ManagementFrame(0x08, kBss, body)},
      {"BeaconSubtypeAsControl", ManagementFrame(0x84, kBss, body)},
      {"ProtocolVersion1", ManagementFrame(0x81, kBss, body)},
      {"ShorterThanTheFixedFields", Bytes(bare.begin(), bare.end() - 1)},
  };
  for (const auto& [name, frame] : cases) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(BeaconToBssidEntry(frame, RadioInfo{}).has_value());
  }
  EXPECT_TRUE(BeaconToBssidEntry(bare, RadioInfo{}).has_value()) << "a beacon without elements";
}

// ---- Files ----

TEST(PcapFile, RecordsAreNumberedAndOnlyBeaconsKept) {
  const Bytes beacon = Beacon(SsidElement("a"));
  const Bytes data = ManagementFrame(0x08, kBss, Bytes(20, 0));
  const Bytes probe = ProbeResponse(SsidElement("b"), kOtherBss);
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "big-endian, nanoseconds" : "little-endian, microseconds");
    PcapBeacons out;
    std::string error;
    ASSERT_TRUE(ParsePcapBeacons(PcapFile(kLinkTypeIeee80211, {beacon, data, probe}, bigEndian), out, error)) << error;
    EXPECT_EQ(out.linkType, static_cast<uint32_t>(kLinkTypeIeee80211));
    EXPECT_EQ(out.recordCount, 3u);
    EXPECT_FALSE(out.truncated);
    ASSERT_EQ(out.frames.size(), 2u);
    EXPECT_EQ(out.frames[0].frameNumber, 1u);
    EXPECT_FALSE(out.frames[0].probeResponse);
    EXPECT_EQ(out.frames[1].frameNumber, 3u);
    EXPECT_TRUE(out.frames[1].probeResponse);
    EXPECT_EQ(NdisSsidText(Fixed(out.frames[1].entry).Ssid), "b");
  }
}

TEST(PcapFile, TruncatedFileKeepsWhatCameBefore) {
  Bytes file = PcapFile(kLinkTypeIeee80211, {Beacon(SsidElement("a")), Beacon(SsidElement("b"))});
  file.resize(file.size() - 5);
  PcapBeacons out;
  std::string error;
  ASSERT_TRUE(ParsePcapBeacons(file, out, error));
  EXPECT_TRUE(out.truncated);
  ASSERT_EQ(out.frames.size(), 1u);
  EXPECT_EQ(NdisSsidText(Fixed(out.frames[0].entry).Ssid), "a");

  file.resize(24 + 10);  // inside the first record's header
  ASSERT_TRUE(ParsePcapBeacons(file, out, error));
  EXPECT_TRUE(out.truncated);
  EXPECT_TRUE(out.frames.empty());
}

TEST(PcapFile, LinkTypeWordMayCarryTheFcsLength) {
  const Bytes elements = SsidElement("fcs");
  const Bytes withFcs = Cat({Beacon(elements), {0xDE, 0xAD, 0xBE, 0xEF}});
  // Bit 28 set, FCS length 2 (16-bit words) in bits 29-31.
  const uint32_t word = kLinkTypeIeee80211 | (1u << 28) | (2u << 29);
  PcapBeacons out;
  std::string error;
  ASSERT_TRUE(ParsePcapBeacons(PcapFile(word, {withFcs}), out, error)) << error;
  EXPECT_EQ(out.linkType, static_cast<uint32_t>(kLinkTypeIeee80211));
  ASSERT_EQ(out.frames.size(), 1u);
  EXPECT_EQ(Fixed(out.frames[0].entry).IELength, elements.size());
}

TEST(PcapFile, WhatIsNotReadSaysWhy) {
  struct Case {
    const char* name;
    Bytes file;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"Empty", {}, "not a pcap file"},
      {"Pcapng", Cat({Le32(0x0A0D0D0A), Bytes(28, 0)}), "not a pcap file"},
      {"Ethernet", PcapFile(1, {}), "unsupported link type 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PcapBeacons out;
    std::string error;
    EXPECT_FALSE(ParsePcapBeacons(c.file, out, error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
  PcapBeacons out;
  std::string error;
  TempDir dir;
  EXPECT_FALSE(ReadPcapBeacons(dir.file("missing.pcap"), out, error));
  EXPECT_NE(error.find("missing.pcap does not exist"), std::string::npos) << error;
}

TEST(PcapFile, LatestFramePerBssKeepsFirstOrder) {
  PcapBeacons out;
  std::string error;
  ASSERT_TRUE(ParsePcapBeacons(PcapFile(kLinkTypeIeee80211, {Beacon(SsidElement("a1")),
                                                             Beacon(SsidElement("b1"), 0x0011, kOtherBss),
                                                             Beacon(SsidElement("a2"))}),
                               out, error));
  const auto latest = LatestFramePerBss(out.frames);
  ASSERT_EQ(latest.size(), 2u);
  EXPECT_EQ(NdisSsidText(Fixed(latest[0]->entry).Ssid), "a2");
  EXPECT_EQ(NdisSsidText(Fixed(latest[1]->entry).Ssid), "b1");
}

// Fed frame by frame with room for three entries: the first three BSSIDs keep their latest
// frame in first-seen order; later BSSIDs are only counted, each once.
TEST(PcapFile, LatestFramePerBssidHoldsOnlyWhatTheListCanHold) {
  const auto mac = [](uint8_t n) { return MacAddress{0x02, 0, 0, 0, 0, n}; };
  struct Step {
    uint8_t bss;
    const char* ssid;
  };
  const Step steps[] = {{1, "a1"}, {2, "b1"}, {1, "a2"}, {3, "c1"}, {4, "d1"},
                        {2, "b2"}, {5, "e1"}, {4, "d2"}, {3, "c2"}};
  LatestFramePerBssid perBss(4 + 3 * 116);
  std::vector<CapturedBss> frames;
  for (const Step& step : steps) {
    PcapBeacons one;
    std::string error;
    ASSERT_TRUE(ParsePcapBeacons(PcapFile(kLinkTypeIeee80211, {Beacon(SsidElement(step.ssid), 0x0011, mac(step.bss))}),
                                 one, error));
    ASSERT_EQ(one.frames.size(), 1u);
    frames.push_back(one.frames[0]);
    perBss.Add(std::move(one.frames[0]));
  }
  std::vector<std::string> kept;
  for (const CapturedBss& bss : perBss.kept()) kept.emplace_back(NdisSsidText(Fixed(bss.entry).Ssid));
  EXPECT_EQ(kept, (std::vector<std::string>{"a2", "b2", "c2"}));
  EXPECT_EQ(perBss.leftOut(), 2u);  // BSS 4 (twice) and BSS 5
  // The same answer as the whole-capture form, cut to what fits.
  const auto latest = LatestFramePerBss(frames);
  ASSERT_EQ(latest.size(), 5u);
  for (size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(NdisSsidText(Fixed(latest[i]->entry).Ssid), kept[i]);
}

TEST(PcapFile, EntryLargerThanTheListEndsTheList) {
  LatestFramePerBssid perBss(4 + 4 * 116);
  PcapBeacons one;
  std::string error;
  ASSERT_TRUE(ParsePcapBeacons(PcapFile(kLinkTypeIeee80211, {Beacon(Cat({SsidElement("big"), Bytes(600, 0xDD)}))}),
                               one, error));
  perBss.Add(std::move(one.frames[0]));
  ASSERT_EQ(perBss.kept().size(), 1u);
  EXPECT_TRUE(perBss.kept()[0].oversized);
  EXPECT_LE(perBss.kept()[0].entry.size(), 116u);
}

}  // namespace
}  // namespace ov
