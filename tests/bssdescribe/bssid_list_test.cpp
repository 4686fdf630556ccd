// The scan list's entry layout against bytes written out by hand, the entry builder, and the
// list's writer and walker at their limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "driver/oid/bssid_list.h"
#include "driver/oid/byte_codec.h"

namespace ov {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Sparse(size_t size, std::initializer_list<std::pair<size_t, Bytes>> runs) {
  Bytes out(size, 0);
  for (const auto& [offset, run] : runs) {
    for (size_t i = 0; i < run.size(); ++i) out.at(offset + i) = run[i];
  }
  return out;
}

const MacAddress kBssid = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};

TEST(BssidEntryLayout, FixedPartBothWays) {
  NDIS_WLAN_BSSID_EX e;
  e.Length = 0x0102;
  e.MacAddress = kBssid;
  e.Reserved = {0xA5, 0x5A};
  e.Ssid = MakeNdisSsid("lab");
  e.Privacy = 1;
  e.Rssi = -70;
  e.NetworkTypeInUse = Ndis802_11OFDM24;
  e.Configuration.Length = 32;
  e.Configuration.BeaconPeriod = 100;
  e.Configuration.ATIMWindow = 7;
  e.Configuration.DSConfig = 2437000;
  e.InfrastructureMode = Ndis802_11Infrastructure;
  e.SupportedRates = {0x82, 0x84, 0x8B, 0x96, 0x0C};
  e.IELength = 0x00CE;
  const Bytes bytes = Sparse(116, {{0, {0x02, 0x01, 0, 0}},
                                   {4, {0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 0xA5, 0x5A}},
                                   {12, {3, 0, 0, 0, 'l', 'a', 'b'}},
                                   {48, {1, 0, 0, 0}},
                                   {52, {0xBA, 0xFF, 0xFF, 0xFF}},
                                   {56, {3, 0, 0, 0}},
                                   {60, {32, 0, 0, 0, 100, 0, 0, 0, 7, 0, 0, 0, 0x88, 0x2F, 0x25, 0}},
                                   {92, {1, 0, 0, 0}},
                                   {96, {0x82, 0x84, 0x8B, 0x96, 0x0C}},
                                   {112, {0xCE, 0, 0, 0}}});
  const auto encoded = EncodeNdisWlanBssidEx(e);
  EXPECT_EQ(Bytes(encoded.begin(), encoded.end()), bytes);
  NDIS_WLAN_BSSID_EX decoded;
  ASSERT_TRUE(DecodeNdisWlanBssidEx(bytes, decoded));
  EXPECT_TRUE(decoded == e);

  NDIS_WLAN_BSSID_EX untouched;
  untouched.Rssi = 5;
  EXPECT_FALSE(DecodeNdisWlanBssidEx(std::span<const uint8_t>(bytes.data(), 115), untouched));
  EXPECT_EQ(untouched.Rssi, 5);
}

TEST(BssidEntryLayout, BuilderFillsTheEntry) {
  const Bytes elements = {0x00, 0x03, 'l', 'a', 'b', 0x03, 0x01, 0x06};
  Bytes rates = {0x82, 0x00, 0x84};
  for (uint8_t r = 0x10; r < 0x20; ++r) rates.push_back(r);  // 18 rates in all, one zero
  BssDescription bss;
  bss.bssid = kBssid;
  bss.ssid = "a-name-that-is-longer-than-32-bytes";
  bss.privacy = true;
  bss.rssi = -45;
  bss.networkTypeInUse = Ndis802_11OFDM5;
  bss.beaconPeriod = 102;
  bss.dsConfigKHz = 5180000;
  bss.infrastructureMode = Ndis802_11IBSS;
  bss.rates = rates;
  bss.informationElements = elements;
  const Bytes entry = MakeBssidEntry(bss);

  ASSERT_EQ(entry.size(), 116 + elements.size());
  NDIS_WLAN_BSSID_EX e;
  ASSERT_TRUE(DecodeNdisWlanBssidEx(entry, e));
  EXPECT_EQ(e.Length, entry.size());
  EXPECT_EQ(e.IELength, elements.size());
  EXPECT_EQ(e.MacAddress, kBssid);
  EXPECT_EQ(NdisSsidText(e.Ssid), "a-name-that-is-longer-than-32-by");
  EXPECT_EQ(e.Privacy, 1u);
  EXPECT_EQ(e.Rssi, -45);
  EXPECT_EQ(e.NetworkTypeInUse, static_cast<uint32_t>(Ndis802_11OFDM5));
  EXPECT_EQ(e.Configuration.Length, 32u);
  EXPECT_EQ(e.Configuration.BeaconPeriod, 102u);
  EXPECT_EQ(e.Configuration.DSConfig, 5180000u);
  EXPECT_EQ(e.Configuration.ATIMWindow, 0u);
  EXPECT_EQ(e.InfrastructureMode, static_cast<uint32_t>(Ndis802_11IBSS));
  // Zero octets skipped, the first sixteen kept.
  const Bytes wantRates = {0x82, 0x84, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15,
                           0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D};
  EXPECT_EQ(Bytes(e.SupportedRates.begin(), e.SupportedRates.end()), wantRates);
  EXPECT_EQ(Bytes(entry.begin() + 116, entry.end()), elements);
  const auto view = BssidEntryElements(entry);
  EXPECT_EQ(Bytes(view.begin(), view.end()), elements);
}

TEST(BssidEntryLayout, ElementsAreCutToTheEntry) {
  BssDescription bss;
  const Bytes elements(40, 0x33);
  bss.informationElements = elements;
  const Bytes entry = MakeBssidEntry(bss);
  struct Case {
    const char* name;
    uint32_t length;
    uint32_t ieLength;
    size_t given;
    size_t want;
  };
  const std::vector<Case> cases = {
      {"AsBuilt", 156, 40, 156, 40},
      {"IELengthPastLength", 146, 40, 156, 30},
      {"LengthPastTheBytes", 156, 40, 150, 34},
      {"IELengthShorter", 156, 12, 156, 12},
      {"LengthOfTheFixedPart", 116, 40, 156, 0},
      {"LengthInsideTheFixedPart", 110, 40, 156, 0},
      {"ShorterThanTheFixedPart", 156, 40, 100, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes e = entry;
    byte_codec::PutU32(e, bssid_entry_offset::kLength, c.length);
    byte_codec::PutU32(e, bssid_entry_offset::kIELength, c.ieLength);
    const auto view = BssidEntryElements(std::span<const uint8_t>(e.data(), c.given));
    EXPECT_EQ(view.size(), c.want);
    if (!view.empty()) {
      EXPECT_EQ(view.data(), e.data() + 116);
    }
  }
}

TEST(BssidEntryLayout, NetworkTypeOfEachPhy) {
  struct Case {
    uint32_t phy;
    uint32_t frequency;
    uint32_t want;
  };
  for (const Case& c : std::vector<Case>{{dot11_phy_type_ofdm, 5180000, Ndis802_11OFDM5},
                                         {dot11_phy_type_hrdsss, 2412000, Ndis802_11DS},
                                         {dot11_phy_type_erp, 2437000, Ndis802_11OFDM24},
                                         {dot11_phy_type_ht, 2437000, Ndis802_11OFDM24},
                                         {dot11_phy_type_ht, 2484000, Ndis802_11OFDM24},
                                         {dot11_phy_type_ht, 5180000, Ndis802_11OFDM5},
                                         {dot11_phy_type_dsss, 2412000, Ndis802_11NetworkTypeMax},
                                         {dot11_phy_type_unknown, 2412000, Ndis802_11NetworkTypeMax},
                                         {99, 2412000, Ndis802_11NetworkTypeMax}}) {
    SCOPED_TRACE(c.phy);
    EXPECT_EQ(NetworkTypeForPhy(c.phy, c.frequency), c.want);
  }
}

Bytes EntryOfSize(size_t size, uint8_t fill) {
  Bytes entry(size, fill);
  byte_codec::PutU32(entry, 0, static_cast<uint32_t>(size));
  return entry;
}

TEST(BssidList, WriterRefusesWhatDoesNotFitAndKeepsTheRest) {
  Bytes buffer(4 + 120 + 130, 0xEE);
  BssidListWriter writer(buffer);
  EXPECT_EQ(byte_codec::GetU32(buffer, 0), 0u);
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0; })) << "zeroed";

  const Bytes first = EntryOfSize(120, 0x01);
  const Bytes tooBig = EntryOfSize(131, 0x02);
  const Bytes exact = EntryOfSize(130, 0x03);
  ASSERT_TRUE(writer.Append(first));
  EXPECT_FALSE(writer.Append(tooBig));
  EXPECT_EQ(writer.count(), 1u);
  EXPECT_EQ(writer.bytesUsed(), 124u);
  EXPECT_EQ(buffer[124], 0) << "a refused entry writes nothing";
  ASSERT_TRUE(writer.Append(exact));
  EXPECT_FALSE(writer.Append(EntryOfSize(4, 0x04)));
  EXPECT_EQ(byte_codec::GetU32(buffer, 0), 2u);

  const auto entries = BssidListEntries(buffer);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(Bytes(entries[0].begin(), entries[0].end()), first);
  EXPECT_EQ(Bytes(entries[1].begin(), entries[1].end()), exact);

  Bytes tiny(3, 0xEE);
  BssidListWriter none(tiny);
  EXPECT_FALSE(none.Append(EntryOfSize(4, 0)));
  EXPECT_TRUE(BssidListEntries(tiny).empty());
}

TEST(BssidList, WalkStopsWhereLengthsCannotBeTrusted) {
  const Bytes a = EntryOfSize(120, 0x01);
  const Bytes shortEntry = EntryOfSize(8, 0x02);  // shorter than the fixed part: listed, stepped over
  struct Case {
    const char* name;
    Bytes list;
    size_t want;
  };
  Bytes zeroLength = a;
  byte_codec::PutU32(zeroLength, 0, 0);
  Bytes pastEnd = a;
  byte_codec::PutU32(pastEnd, 0, 121);
  const auto list = [](uint32_t count, std::initializer_list<Bytes> entries) {
    Bytes out(4, 0);
    byte_codec::PutU32(out, 0, count);
    for (const Bytes& e : entries) out.insert(out.end(), e.begin(), e.end());
    return out;
  };
  const std::vector<Case> cases = {
      {"AsCounted", list(3, {a, shortEntry, a}), 3},
      {"CountBelowTheEntries", list(1, {a, a}), 1},
      {"CountAboveTheEntries", list(9, {a, a}), 2},
      {"LengthZero", list(3, {a, zeroLength, a}), 1},
      {"LengthPastTheBuffer", list(2, {a, pastEnd}), 1},
      {"LengthFieldCut", list(2, {a, {0x10, 0x00}}), 1},
      {"NoCount", {0x01, 0x00}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BssidListEntries(c.list).size(), c.want);
  }
}

}  // namespace
}  // namespace ov
