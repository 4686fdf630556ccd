// Every payload layout against a byte vector written out by hand from the driver's layout, both
// ways, and every decoder against answers shorter than its record.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "driver/oid/ndis_records.h"
#include "driver/oid/oid_constants.h"
#include "driver/oid/qos_records.h"
#include "driver/oid/radio_records.h"
#include "driver/oid/wps_records.h"

namespace ov {
namespace {

using Bytes = std::vector<uint8_t>;

template <size_t N>
Bytes ToVector(const std::array<uint8_t, N>& a) {
  return Bytes(a.begin(), a.end());
}

// A zero vector of `size` bytes with the given runs written at their offsets.
Bytes Sparse(size_t size, std::initializer_list<std::pair<size_t, Bytes>> runs) {
  Bytes out(size, 0);
  for (const auto& [offset, run] : runs) {
    for (size_t i = 0; i < run.size(); ++i) out.at(offset + i) = run[i];
  }
  return out;
}

const MacAddress kPeer = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
const Bytes kPeerBytes = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
const MacAddress kOtherPeer = {0x0A, 0xBB, 0xCC, 0xDD, 0xEE, 0xF1};
const Bytes kOtherPeerBytes = {0x0A, 0xBB, 0xCC, 0xDD, 0xEE, 0xF1};

// Encodes `record`, compares with `bytes`, then decodes `bytes` into a default record and
// compares with `record`.
template <typename Record, typename EncodeFn, typename DecodeFn>
void ExpectLayout(const Record& record, const Bytes& bytes, EncodeFn encode, DecodeFn decode) {
  EXPECT_EQ(ToVector(encode(record)), bytes) << "encoded bytes differ from the layout";
  Record decoded{};
  ASSERT_TRUE(decode(std::span<const uint8_t>(bytes), decoded));
  EXPECT_TRUE(decoded == record) << "decoded record differs from the one encoded";
}

// ---- Published records ----

TEST(NdisRecordLayout, Ssid) {
  NDIS_802_11_SSID ssid = MakeNdisSsid("abcd");
  ExpectLayout(ssid, Sparse(36, {{0, {4, 0, 0, 0, 'a', 'b', 'c', 'd'}}}), EncodeNdisSsid,
               DecodeNdisSsid);
  EXPECT_EQ(NdisSsidText(ssid), "abcd");
}

TEST(NdisRecordLayout, SsidLengthBeyondTheOctetsIsCut) {
  // A driver answering a length of 200 must not make readers run past the 32 octets.
  Bytes bytes = Sparse(36, {{0, {200, 0, 0, 0}}, {4, Bytes(32, 'x')}});
  NDIS_802_11_SSID ssid;
  ASSERT_TRUE(DecodeNdisSsid(bytes, ssid));
  EXPECT_EQ(ssid.SsidLength, 32u);
  EXPECT_EQ(NdisSsidText(ssid), std::string(32, 'x'));
  EXPECT_EQ(MakeNdisSsid(std::string(40, 'y')).SsidLength, 32u);
}

TEST(NdisRecordLayout, Rates) {
  NDIS_802_11_RATES rates{{0x82, 0x84, 0x0B, 0x16, 0x0C, 0x12, 0x18, 0x6C}};
  ExpectLayout(rates, Bytes{0x82, 0x84, 0x0B, 0x16, 0x0C, 0x12, 0x18, 0x6C}, EncodeNdisRates,
               DecodeNdisRates);
}

TEST(NdisRecordLayout, ConfigurationWithDsConfigAtOffset12) {
  NDIS_802_11_CONFIGURATION config;
  config.Length = 32;
  config.BeaconPeriod = 100;
  config.ATIMWindow = 0x0102;
  config.DSConfig = 2437000;  // channel 6
  config.FHConfig = {16, 1, 2, 3};
  ExpectLayout(config,
               Bytes{32, 0, 0, 0, 100, 0, 0, 0, 0x02, 0x01, 0, 0, 0x88, 0x2F, 0x25, 0,
                     16, 0, 0, 0, 1,   0, 0, 0, 2,    0,    0, 0, 3,    0,    0,    0},
               EncodeNdisConfiguration, DecodeNdisConfiguration);
}

TEST(NdisRecordLayout, ObjectHeader) {
  ExpectLayout(MakeDot11Header(20), Bytes{0x80, 0x01, 0x14, 0x00}, EncodeNdisObjectHeader,
               DecodeNdisObjectHeader);
  ExpectLayout(NDIS_OBJECT_HEADER{0x80, 2, 0x0108}, Bytes{0x80, 0x02, 0x08, 0x01},
               EncodeNdisObjectHeader, DecodeNdisObjectHeader);
}

TEST(NdisRecordLayout, DesiredBssidListOfOneEntry) {
  ExpectLayout(MakeDesiredBssidList(kPeer),
               Bytes{0x80, 0x01, 20, 0,  // header: default type, revision 1, size 20
                     1, 0, 0, 0,         // entries in the list
                     1, 0, 0, 0,         // total entries
                     0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 0, 0},
               EncodeDot11BssidList, DecodeDot11BssidList);
}

TEST(NdisRecordLayout, SupportedPhyTypes) {
  DOT11_SUPPORTED_PHY_TYPES types;
  types.uNumOfEntries = 3;
  types.uTotalNumOfEntries = 5;
  types.dot11PHYType[0] = dot11_phy_type_dsss;
  types.dot11PHYType[1] = dot11_phy_type_erp;
  types.dot11PHYType[2] = dot11_phy_type_ofdm;
  types.dot11PHYType[63] = 0x01020304;
  ExpectLayout(types,
               Sparse(264, {{0, {3, 0, 0, 0, 5, 0, 0, 0, 2, 0, 0, 0, 6, 0, 0, 0, 4, 0, 0, 0}},
                            {260, {4, 3, 2, 1}}}),
               EncodeDot11SupportedPhyTypes, DecodeDot11SupportedPhyTypes);
}

TEST(NdisRecordLayout, PhyTypeListedOnlyWithinTheCount) {
  DOT11_SUPPORTED_PHY_TYPES types;
  types.dot11PHYType[0] = dot11_phy_type_erp;
  types.dot11PHYType[1] = dot11_phy_type_ofdm;
  types.uNumOfEntries = 2;
  EXPECT_TRUE(ListsPhyType(types, dot11_phy_type_ofdm));
  types.uNumOfEntries = 1;
  EXPECT_FALSE(ListsPhyType(types, dot11_phy_type_ofdm));

  // A count past the 64 entries of the buffer is cut to them.
  Bytes bytes = Sparse(264, {{0, {100, 0, 0, 0, 100, 0, 0, 0}}, {8 + 63 * 4, {4, 0, 0, 0}}});
  ASSERT_TRUE(DecodeDot11SupportedPhyTypes(bytes, types));
  EXPECT_EQ(types.uNumOfEntries, 64u);
  EXPECT_EQ(types.uTotalNumOfEntries, 100u);
  EXPECT_TRUE(ListsPhyType(types, dot11_phy_type_ofdm));
}

// ---- Radio records ----

TEST(RadioRecordLayout, RegisterAccess) {
  ExpectLayout(RegisterAccess{REGISTER_KIND_EEPROM, 0x36, 0xBEEF},
               Bytes{3, 0, 0, 0, 0x36, 0, 0, 0, 0xEF, 0xBE, 0, 0}, EncodeRegisterAccess,
               DecodeRegisterAccess);
}

TEST(RadioRecordLayout, LinkStatusLongAndShortForms) {
  LinkStatus status{108, 0x55, 0x01020304, 0xA0B0C0D0, 6};
  const Bytes bytes = {108, 0, 0, 0, 0x55, 0, 0, 0, 0x04, 0x03, 0x02, 0x01,
                       0xD0, 0xC0, 0xB0, 0xA0, 6, 0, 0, 0};
  ExpectLayout(status, bytes, EncodeLinkStatus, DecodeLinkStatus);

  // The 16-byte form has no central channel.
  LinkStatus shortForm;
  shortForm.CentralChannel = 99;
  ASSERT_TRUE(DecodeLinkStatus(std::span<const uint8_t>(bytes).first(16), shortForm));
  EXPECT_EQ(shortForm.TxByteCount, 0x01020304u);
  EXPECT_EQ(shortForm.RxByteCount, 0xA0B0C0D0u);
  EXPECT_EQ(shortForm.CentralChannel, 0u);
}

TEST(RadioRecordLayout, LinkStatusSizeByFamily) {
  const struct {
    int32_t family;
    uint32_t size;
  } rows[] = {{-1, 0}, {0, 16}, {1, 16}, {2, 0},  {3, 0},  {4, 16}, {5, 16},
              {6, 20}, {7, 20}, {8, 20}, {9, 20}, {10, 20}, {11, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.family);
    EXPECT_EQ(LinkStatusSize(row.family), row.size);
  }
}

TEST(RadioRecordLayout, HtTransmitSettingBits) {
  const struct {
    uint32_t word;
    HtTransmitSetting setting;
  } rows[] = {
      {0x0000, {0, 0, 0, 0, HT_PHY_CCK}},
      {0x007F, {127, 0, 0, 0, HT_PHY_CCK}},
      {0x0080, {0, 1, 0, 0, HT_PHY_CCK}},
      {0x0100, {0, 0, 1, 0, HT_PHY_CCK}},
      {0x0600, {0, 0, 0, 3, HT_PHY_CCK}},
      {0x4000, {0, 0, 0, 0, HT_PHY_OFDM}},
      {0x858F, {15, 1, 1, 2, HT_PHY_HT_MIXED}},
      {0xC007, {7, 0, 0, 0, HT_PHY_HT_GREENFIELD}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.word);
    EXPECT_TRUE(DecodeHtTransmitSetting(row.word) == row.setting);
    EXPECT_EQ(EncodeHtTransmitSetting(row.setting), row.word);
  }
  // Only the low 16 bits are the setting, and bits 11-13 carry nothing.
  EXPECT_TRUE(DecodeHtTransmitSetting(0xFFFF858F) == DecodeHtTransmitSetting(0x858F));
  EXPECT_TRUE(DecodeHtTransmitSetting(0x3800) == HtTransmitSetting{});
}

TEST(RadioRecordLayout, CountryRegionWord) {
  const struct {
    uint32_t word;
    CountryRegion region;
  } rows[] = {
      {0x0000, {0, false, 0, false}},
      {0x0105, {5, false, 1, false}},
      {0x8A05, {5, false, 10, true}},
      {0x0A85, {5, true, 10, false}},
      {0xFFFF, {127, true, 127, true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.word);
    EXPECT_TRUE(DecodeCountryRegionWord(row.word) == row.region);
    EXPECT_EQ(EncodeCountryRegionWord(row.region), row.word);
  }
}

TEST(RadioRecordLayout, CountryRegionSetWordKeepsEachBandInItsByte) {
  const struct {
    uint32_t region24, region5, word;
  } rows[] = {
      {0, 0, 0x0000}, {5, 10, 0x0A05}, {1, 7, 0x0701}, {31, 12, 0x0C1F},
      // Fixed bits and larger numbers are cut to the 7-bit codes.
      {0x85, 0x8A, 0x0A05}, {200, 0, 0x0048}, {0, 0x1FF, 0x7F00},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.region24) + "/" + std::to_string(row.region5));
    EXPECT_EQ(CountryRegionSetWord(row.region24, row.region5), row.word);
  }
}

TEST(RadioRecordLayout, HtPhyMode) {
  HtPhyMode mode;
  mode.PhyMode = 9;
  mode.TransmitNo = 2;
  mode.HtMode = 1;
  mode.Byte6 = 3;
  mode.MCS = 33;
  mode.BW = 1;
  mode.STBC = 1;
  mode.SHORTGI = 1;
  mode.Byte11 = 0xEE;
  ExpectLayout(mode, Bytes{9, 0, 0, 0, 2, 1, 3, 33, 1, 1, 1, 0xEE}, EncodeHtPhyMode,
               DecodeHtPhyMode);
}

TEST(RadioRecordLayout, TransmitSettingWord) {
  // MCS 33 (auto), 40 MHz, short GI, STBC, two streams: the registry's stock 0xBA10.
  HtPhySettings stock{0, 2, 0, kHtMcsAuto, 1, 1, 1};
  EXPECT_EQ(EncodeTransmitSetting(stock, 0), 0xBA10u);

  const struct {
    uint32_t word;
    HtPhySettings settings;
    uint8_t byte6;
  } rows[] = {
      {0x00000009, {9, 0, 0, 0, 0, 0, 0}, 0},
      {0x000007F0, {0, 0, 0, 127, 0, 0, 0}, 0},
      {0x00000800, {0, 0, 0, 0, 1, 0, 0}, 0},
      {0x00001000, {0, 0, 0, 0, 0, 0, 1}, 0},
      {0x00002000, {0, 0, 0, 0, 0, 1, 0}, 0},
      {0x0000C000, {0, 3, 0, 0, 0, 0, 0}, 0},
      {0x00030000, {0, 0, 3, 0, 0, 0, 0}, 0},
      {0x000C0000, {0, 0, 0, 0, 0, 0, 0}, 3},
      {0x0009BA19, {9, 2, 1, 33, 1, 1, 1}, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.word);
    EXPECT_EQ(EncodeTransmitSetting(row.settings, row.byte6), row.word);
    EXPECT_TRUE(DecodeTransmitSetting(row.word) == row.settings);
    EXPECT_EQ(TransmitSettingByte6(row.word), row.byte6);
  }
  // Bits above 19 belong to no field.
  EXPECT_TRUE(DecodeTransmitSetting(0xFFF00000) == HtPhySettings{});
}

TEST(RadioRecordLayout, ApplyingSettingsKeepsTheDriverBytes) {
  HtPhyMode mode;
  mode.Byte6 = 2;
  mode.Byte11 = 0x5A;
  ApplyHtPhySettings(mode, HtPhySettings{5, 2, 1, 15, 1, 0, 1});
  EXPECT_EQ(ToVector(EncodeHtPhyMode(mode)), (Bytes{5, 0, 0, 0, 2, 1, 2, 15, 1, 0, 1, 0x5A}));
}

TEST(RadioRecordLayout, StaConfig) {
  StaConfig config{1, 2, 0x0102, 1, 4, 0xA1A2A3A4, 7, 0xB1B2B3B4};
  ExpectLayout(config,
               Bytes{1, 0, 0, 0, 2, 0, 0, 0, 0x02, 0x01, 0, 0, 1, 0, 0, 0,
                     4, 0, 0, 0, 0xA4, 0xA3, 0xA2, 0xA1, 7, 0, 0, 0, 0xB4, 0xB3, 0xB2, 0xB1},
               EncodeStaConfig, DecodeStaConfig);
}

TEST(RadioRecordLayout, DriverStatisticsCountersAtTheirOffsets) {
  DriverStatistics stats;
  stats.SetCounter(STAT_TX_SUCCESS, 0x0102030405060708);
  stats.SetCounter(STAT_TX_FAIL_ALL_RETRIES, 24);
  stats.SetCounter(STAT_TX_RETRIED, 32);
  stats.SetCounter(STAT_RTS_SUCCESS, 48);
  stats.SetCounter(STAT_RTS_FAILURE, 56);
  stats.SetCounter(STAT_RX_DUPLICATE, 72);
  stats.SetCounter(STAT_RX_CRC_ERROR, 96);
  stats.SetCounter(STAT_RX_SUCCESS, 0x100000005);
  stats.counters[0] = 0xFF;  // counters the pages do not show still travel
  ExpectLayout(stats,
               Sparse(184, {{0, {0xFF}},
                            {8, {8, 7, 6, 5, 4, 3, 2, 1}},
                            {24, {24}},
                            {32, {32}},
                            {48, {48}},
                            {56, {56}},
                            {72, {72}},
                            {96, {96}},
                            {176, {5, 0, 0, 0, 1, 0, 0, 0}}}),
               EncodeDriverStatistics, DecodeDriverStatistics);
  EXPECT_EQ(stats.Counter(STAT_RX_SUCCESS), 0x100000005u);
}

TEST(RadioRecordLayout, TxPowerLevelMapping) {
  const struct {
    int32_t level, percent;
  } rows[] = {{-5, -1}, {-1, -1}, {0, -1}, {1, 100}, {2, 75}, {3, 50},
              {4, 25},  {5, 10},  {6, 6},  {7, -1},  {100, -1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.level);
    EXPECT_EQ(TxPowerForLevel(row.level), row.percent);
  }
}

TEST(RadioRecordLayout, CcxControlWordBySsidFlag) {
  const struct {
    uint32_t flag, value, sent;
  } rows[] = {
      {1, 0x0000FFFF, 0x0000FFFF},  // by SSID: as stored
      {1, 0x00000520, 0x00000520},
      {0, 0x00000000, 0x0000FA00},  // by BSSID: 0x520 cleared, 0xFA00 set
      {0, 0x00000520, 0x0000FA00},
      {0, 0xFFFFFFFF, 0xFFFFFADF},
      {2, 0x00012345, 0x0001FA45},  // any flag other than 1 counts as by BSSID
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.flag) + ":" + std::to_string(row.value));
    EXPECT_EQ(CcxControlWordToSend(row.flag, row.value), row.sent);
  }
}

TEST(RadioRecordLayout, ExtraInfoTexts) {
  const struct {
    uint32_t code;
    const char* text;
  } rows[] = {
      {0, "Link is Up"},
      {1, "Link is Down"},
      {2, "Hardware radio off"},
      {3, "Software radio off"},
      {4, "Open authentication fail"},
      {5, "Shared authentication fail"},
      {6, "Association failed"},
      {7, "Deauthencation because MIC failure"},
      {8, "Deauthencation on 4-way handshake timeout"},
      {9, "Deauthencation on group key handshake timeout"},
      {10, "EAP succeed"},
      {11, ""},
      {0xFFFFFFFF, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    EXPECT_EQ(ExtraInfoText(row.code), row.text);
  }
}

// ---- QoS records ----

TEST(QosRecordLayout, BlockAckRequest) {
  ExpectLayout(BlockAckRequest{BLOCK_ACK_RECIPIENT, kPeer, 5, 64, 1},
               Bytes{1, 0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 5, 64, 0, 0, 0, 1, 0},
               EncodeBlockAckRequest, DecodeBlockAckRequest);
}

TEST(QosRecordLayout, BlockAckTable) {
  BlockAckTable table;
  BlockAckEntry& first = table.Originator[1];
  first.Peer = kPeer;
  first.TidBitmap = 0x21;
  first.Byte7 = 9;
  first.TidValue = {10, 11, 12, 13, 14, 15, 16, 17};
  first.TidWord[7] = 0x11223344;
  table.Recipient[0].Peer = kOtherPeer;
  table.Recipient[0].TidBitmap = 0x80;
  table.Recipient[31].Peer = kPeer;
  table.OriginatorCount = 3;
  table.RecipientCount = 1;
  table.Tail = {0xFE, 0xFD};
  ExpectLayout(table,
               Sparse(3076, {{48, kPeerBytes},
                             {54, {0x21, 9, 10, 11, 12, 13, 14, 15, 16, 17}},
                             {92, {0x44, 0x33, 0x22, 0x11}},
                             {1536, kOtherPeerBytes},
                             {1542, {0x80}},
                             {3024, kPeerBytes},
                             {3072, {3, 1, 0xFE, 0xFD}}}),
               EncodeBlockAckTable, DecodeBlockAckTable);
}

TEST(QosRecordLayout, ListedBlockAckEntriesSkipEmptyOnesAndStopAtTheCount) {
  BlockAckSide side{};
  for (uint8_t i = 1; i <= 5; ++i) {
    side[i].Peer = {0, 0, 0, 0, 0, i};
    side[i].TidBitmap = 1;
  }
  side[3].TidBitmap = 0;  // no session left in this one

  const struct {
    uint8_t count;
    std::vector<uint8_t> listed;  // last MAC byte of each row
  } rows[] = {
      {0, {}}, {1, {1}}, {3, {1, 2, 4}}, {4, {1, 2, 4, 5}}, {32, {1, 2, 4, 5}}, {255, {1, 2, 4, 5}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.count);
    std::vector<uint8_t> listed;
    for (const BlockAckEntry& e : ListedBlockAckEntries(side, row.count)) listed.push_back(e.Peer[5]);
    EXPECT_EQ(listed, row.listed);
  }
}

TEST(QosRecordLayout, PeerTable) {
  PeerTable table;
  table.Count = 2;
  table.Entries[0] = {kPeer, {1, 2, 3, 4}};
  table.Entries[1] = {kOtherPeer, {}};
  table.Entries[31] = {kPeer, {9, 9, 9, 9}};
  ExpectLayout(table,
               Sparse(324, {{0, {2, 0, 0, 0}},
                            {4, kPeerBytes},
                            {10, {1, 2, 3, 4}},
                            {14, kOtherPeerBytes},
                            {314, kPeerBytes},
                            {320, {9, 9, 9, 9}}}),
               EncodePeerTable, DecodePeerTable);

  PeerTable decoded;
  ASSERT_TRUE(DecodePeerTable(Sparse(324, {{0, {33, 0, 0, 0}}}), decoded));
  EXPECT_EQ(decoded.Count, 32u) << "a count past the 32 entries is cut to them";
}

TEST(QosRecordLayout, DlsEntryAndTable) {
  DlsEntry entry{300, 0, kPeer, DLS_LINK_ESTABLISHED, 1};
  const Bytes entryBytes = {0x2C, 0x01, 0, 0, 0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 2, 1};
  ExpectLayout(entry, entryBytes, EncodeDlsEntry, DecodeDlsEntry);

  DlsTable table;
  table.Entries[0] = DlsEntry{60, 0, kOtherPeer, 0, 1};
  table.Entries[3] = entry;
  ExpectLayout(table,
               Sparse(48, {{0, {60, 0, 0, 0}}, {4, kOtherPeerBytes}, {11, {1}}, {36, entryBytes}}),
               EncodeDlsTable, DecodeDlsTable);
}

TEST(QosRecordLayout, HtOptions) {
  HtOptions options{32, 64, HT_AGGREGATION_ON, 5, 1, 0, HT_SMPS_CODE_ENABLE, 1};
  ExpectLayout(options, Bytes{32, 64, 1, 5, 1, 0, 3, 1}, EncodeHtOptions, DecodeHtOptions);
}

TEST(QosRecordLayout, BaCapabilityWord) {
  const struct {
    uint32_t word;
    HtOptions options;
  } rows[] = {
      {0x00000000, {0, 0, 0, 0, 0, 0, 0, 0}},
      {0x000000FF, {0xFF, 0, 0, 0, 0, 0, 0, 0}},
      {0x0000FF00, {0, 0xFF, 0, 0, 0, 0, 0, 0}},
      {0x00010000, {0, 0, 0, 0, 0, 0, 0, 1}},
      {0x00040000, {0, 0, HT_AGGREGATION_OFF, 0, 0, 0, 0, 0}},
      {0x00380000, {0, 0, 0, 7, 0, 0, 0, 0}},
      {0x00400000, {0, 0, 0, 0, 1, 0, 0, 0}},
      {0x00800000, {0, 0, 0, 0, 0, 1, 0, 0}},
      {0x03000000, {0, 0, 0, 0, 0, 0, HT_SMPS_CODE_ENABLE, 0}},
      {0x036B4020, {32, 64, HT_AGGREGATION_ON, 5, 1, 0, HT_SMPS_CODE_ENABLE, 1}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.word);
    EXPECT_EQ(EncodeBaCapability(row.options), row.word);
    EXPECT_TRUE(DecodeBaCapability(row.word) == row.options);
  }
  // Bits 26-31 are never written, and no field spills into its neighbour.
  EXPECT_EQ(EncodeBaCapability(HtOptions{0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), 0x03FF0000u);
  EXPECT_TRUE(DecodeBaCapability(0xFC000000) == HtOptions{});
}

TEST(QosRecordLayout, CcxTspec) {
  CcxTspec tspec;
  tspec.Action = TSPEC_ADDTS_DIRECT;
  tspec.DialogToken = 128;
  tspec.Tid = 7;
  tspec.Direction = 3;
  tspec.AccessPolicy = 0;
  tspec.UserPriority = 6;
  tspec.Psb = 1;
  tspec.NominalMsduSize = 0x80C8;  // 200 bytes, fixed
  tspec.InactivityInterval = 0x0102;
  tspec.MeanDataRate = 0x00017700;
  tspec.MinPhyRate = 0x0034BC00;
  tspec.SurplusBandwidth = 0x2000;
  tspec.TclasProcessing = 1;
  ExpectLayout(tspec,
               Sparse(156, {{0, {1, 0, 128, 0, 7, 3, 0, 6, 1, 0, 0xC8, 0x80, 0x02, 0x01, 0, 0,
                                 0x00, 0x77, 0x01, 0x00, 0x00, 0xBC, 0x34, 0x00, 0x00, 0x20, 1, 0}}}),
               EncodeCcxTspec, DecodeCcxTspec);

  // What the CAC page sends for "DELTS": action 2, dialog token 1, nothing else.
  EXPECT_EQ(ToVector(EncodeCcxTspec(CcxTspec{TSPEC_DELTS, 1})), Sparse(156, {{0, {2, 0, 1, 0}}}));
}

// ---- WPS records ----

WpsCredential SampleCredential() {
  WpsCredential c;
  c.SsidLength = 4;
  c.Ssid = {'h', 'o', 'm', 'e'};
  c.AuthType = WPS_AUTH_WPA2PSK;
  c.EncryType = WPS_ENCR_AES;
  c.KeyIndex = 1;
  c.KeyLength = 8;
  c.Key = {'s', 'e', 'c', 'r', 'e', 't', '1', '2'};
  c.MacAddr = kPeer;
  return c;
}

Bytes SampleCredentialBytes() {
  return Sparse(124, {{0, {4, 0, 0, 0, 'h', 'o', 'm', 'e'}},
                      {36, {0x20, 0, 0, 0, 0x08, 0, 0, 0, 1, 0, 0, 0, 8, 0, 0, 0}},
                      {52, {'s', 'e', 'c', 'r', 'e', 't', '1', '2'}},
                      {116, kPeerBytes}});
}

TEST(WpsRecordLayout, Credential) {
  ExpectLayout(SampleCredential(), SampleCredentialBytes(), EncodeWpsCredential,
               DecodeWpsCredential);
  EXPECT_EQ(WpsCredentialSsid(SampleCredential()), "home");
  EXPECT_EQ(WpsCredentialKey(SampleCredential()), "secret12");
}

TEST(WpsRecordLayout, CredentialLengthsBeyondTheirFieldsAreCut) {
  Bytes bytes = SampleCredentialBytes();
  bytes[0] = 33;   // SSID length past its 32 bytes
  bytes[48] = 65;  // key length past its 64 bytes
  WpsCredential c;
  ASSERT_TRUE(DecodeWpsCredential(bytes, c));
  EXPECT_EQ(c.SsidLength, 32u);
  EXPECT_EQ(c.KeyLength, 64u);
  EXPECT_EQ(WpsCredentialKey(c).size(), 64u);
}

TEST(WpsRecordLayout, CredentialTable) {
  WpsCredentialTable table;
  table.Count = 2;
  table.Credentials[1] = SampleCredential();
  table.Credentials[7].MacAddr = kOtherPeer;
  Bytes expected = Sparse(996, {{0, {2, 0, 0, 0}}, {4 + 7 * 124 + 116, kOtherPeerBytes}});
  const Bytes credential = SampleCredentialBytes();
  std::copy(credential.begin(), credential.end(), expected.begin() + 128);
  ExpectLayout(table, expected, EncodeWpsCredentialTable, DecodeWpsCredentialTable);

  expected[0] = 9;
  WpsCredentialTable decoded;
  ASSERT_TRUE(DecodeWpsCredentialTable(expected, decoded));
  EXPECT_EQ(decoded.Count, 8u) << "the table holds 8 credentials";
}

TEST(WpsRecordLayout, StartRecordForPin) {
  WpsStart start;
  start.Mode = WPS_START_MODE_PIN;
  start.Pin = WpsPinDigits(12345670);
  start.Ssid = MakeNdisSsid("net");
  start.Bssid = kPeer;
  start.Channel = 6;
  start.Role = WPS_ROLE_ENROLLEE;
  ExpectLayout(start,
               Sparse(56, {{0, {0, 0, 0, 0x10, '1', '2', '3', '4', '5', '6', '7', '0'}},
                           {12, {3, 0, 0, 0, 'n', 'e', 't'}},
                           {48, kPeerBytes},
                           {54, {6, 1}}}),
               EncodeWpsStart, DecodeWpsStart);
}

TEST(WpsRecordLayout, StartRecordForPushButton) {
  WpsStart start;
  start.Mode = WPS_START_MODE_PBC;
  start.Role = WPS_ROLE_REGISTRAR;
  ExpectLayout(start, Sparse(56, {{3, {0x20}}, {55, {2}}}), EncodeWpsStart, DecodeWpsStart);
}

TEST(WpsRecordLayout, PinDigits) {
  const struct {
    uint32_t pin;
    const char* digits;
  } rows[] = {{0, "00000000"}, {1234567, "01234567"}, {12345670, "12345670"},
              {99999999, "99999999"}, {123456789, "23456789"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.pin);
    const auto digits = WpsPinDigits(row.pin);
    EXPECT_EQ(std::string(digits.begin(), digits.end()), row.digits);
  }
}

TEST(WpsRecordLayout, StatusWord) {
  const struct {
    uint32_t word;
    WpsStatus status;
  } rows[] = {
      {0x00000000, {0, false}},
      {0x00000010, {16, false}},
      {0x10000005, {5, true}},
      {0x1FFFFFFF, {0x0FFFFFFF, true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.word);
    EXPECT_TRUE(DecodeWpsStatus(row.word) == row.status);
    EXPECT_EQ(EncodeWpsStatus(row.status), row.word);
  }
  EXPECT_TRUE(DecodeWpsStatus(0xE0000003) == (WpsStatus{3, false})) << "bits 29-31 carry nothing";
}

// ---- Short answers ----

// Decodes `count` bytes into a copy of `sample`; the decoder must refuse and leave it alone.
template <typename Record, typename DecodeFn>
std::function<testing::AssertionResult(size_t)> RefusesShort(Record sample, DecodeFn decode) {
  return [sample, decode](size_t count) -> testing::AssertionResult {
    const Bytes bytes(count, 0xA5);
    Record record = sample;
    if (decode(std::span<const uint8_t>(bytes), record)) {
      return testing::AssertionFailure() << "decoded from " << count << " bytes";
    }
    if (!(record == sample)) return testing::AssertionFailure() << "record was changed";
    return testing::AssertionSuccess();
  };
}

template <typename Record, typename DecodeFn>
std::function<bool(size_t)> Accepts(DecodeFn decode) {
  return [decode](size_t count) {
    const Bytes bytes(count, 0);
    Record record{};
    return decode(std::span<const uint8_t>(bytes), record);
  };
}

TEST(RecordDecode, ShortAnswersFailCleanly) {
  struct Row {
    const char* name;
    size_t size;  // the smallest answer that decodes
    std::function<testing::AssertionResult(size_t)> refuses;
    std::function<bool(size_t)> accepts;
  };
  const Row rows[] = {
      {"NDIS_802_11_SSID", 36, RefusesShort(MakeNdisSsid("abc"), DecodeNdisSsid),
       Accepts<NDIS_802_11_SSID>(DecodeNdisSsid)},
      {"NDIS_802_11_RATES", 8, RefusesShort(NDIS_802_11_RATES{{1, 2, 3}}, DecodeNdisRates),
       Accepts<NDIS_802_11_RATES>(DecodeNdisRates)},
      {"NDIS_802_11_CONFIGURATION", 32,
       RefusesShort(NDIS_802_11_CONFIGURATION{32, 100, 0, 2412000, {}}, DecodeNdisConfiguration),
       Accepts<NDIS_802_11_CONFIGURATION>(DecodeNdisConfiguration)},
      {"NDIS_OBJECT_HEADER", 4, RefusesShort(MakeDot11Header(20), DecodeNdisObjectHeader),
       Accepts<NDIS_OBJECT_HEADER>(DecodeNdisObjectHeader)},
      {"DOT11_SUPPORTED_PHY_TYPES", 264,
       RefusesShort(DOT11_SUPPORTED_PHY_TYPES{1, 1, {4}}, DecodeDot11SupportedPhyTypes),
       Accepts<DOT11_SUPPORTED_PHY_TYPES>(DecodeDot11SupportedPhyTypes)},
      {"DOT11_BSSID_LIST", 20, RefusesShort(MakeDesiredBssidList(kPeer), DecodeDot11BssidList),
       Accepts<DOT11_BSSID_LIST>(DecodeDot11BssidList)},
      {"RegisterAccess", 12, RefusesShort(RegisterAccess{3, 0x36, 7}, DecodeRegisterAccess),
       Accepts<RegisterAccess>(DecodeRegisterAccess)},
      {"LinkStatus", 16, RefusesShort(LinkStatus{1, 2, 3, 4, 5}, DecodeLinkStatus),
       Accepts<LinkStatus>(DecodeLinkStatus)},
      {"HtPhyMode", 12, RefusesShort(HtPhyMode{9, 2, 1, 3, 33, 1, 1, 1, 0}, DecodeHtPhyMode),
       Accepts<HtPhyMode>(DecodeHtPhyMode)},
      {"StaConfig", 32, RefusesShort(StaConfig{1, 2, 3, 4, 5, 6, 7, 8}, DecodeStaConfig),
       Accepts<StaConfig>(DecodeStaConfig)},
      {"DriverStatistics", 184, RefusesShort(DriverStatistics{{1, 2, 3}}, DecodeDriverStatistics),
       Accepts<DriverStatistics>(DecodeDriverStatistics)},
      {"BlockAckRequest", 14,
       RefusesShort(BlockAckRequest{1, kPeer, 2, 3, 0}, DecodeBlockAckRequest),
       Accepts<BlockAckRequest>(DecodeBlockAckRequest)},
      {"BlockAckTable", 3076, RefusesShort(BlockAckTable{{}, {}, 1, 2, {}}, DecodeBlockAckTable),
       Accepts<BlockAckTable>(DecodeBlockAckTable)},
      {"PeerTable", 324, RefusesShort(PeerTable{1, {}}, DecodePeerTable),
       Accepts<PeerTable>(DecodePeerTable)},
      {"DlsEntry", 12, RefusesShort(DlsEntry{60, 0, kPeer, 2, 1}, DecodeDlsEntry),
       Accepts<DlsEntry>(DecodeDlsEntry)},
      {"DlsTable", 48, RefusesShort(DlsTable{{DlsEntry{60, 0, kPeer, 2, 1}}}, DecodeDlsTable),
       Accepts<DlsTable>(DecodeDlsTable)},
      {"HtOptions", 8, RefusesShort(HtOptions{32, 32, 1, 0, 1, 0, 3, 1}, DecodeHtOptions),
       Accepts<HtOptions>(DecodeHtOptions)},
      {"CcxTspec", 156, RefusesShort(CcxTspec{2, 1}, DecodeCcxTspec),
       Accepts<CcxTspec>(DecodeCcxTspec)},
      {"WpsCredential", 124, RefusesShort(SampleCredential(), DecodeWpsCredential),
       Accepts<WpsCredential>(DecodeWpsCredential)},
      {"WpsCredentialTable", 996,
       RefusesShort(WpsCredentialTable{1, {SampleCredential()}}, DecodeWpsCredentialTable),
       Accepts<WpsCredentialTable>(DecodeWpsCredentialTable)},
      {"WpsStart", 56, RefusesShort([] { WpsStart s; s.Mode = WPS_START_MODE_PBC; return s; }(), DecodeWpsStart),
       Accepts<WpsStart>(DecodeWpsStart)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (size_t count : {size_t{0}, size_t{1}, row.size / 2, row.size - 1}) {
      EXPECT_TRUE(row.refuses(count));
    }
    EXPECT_TRUE(row.accepts(row.size));
    EXPECT_TRUE(row.accepts(row.size + 4)) << "a longer buffer holds the record too";
  }
}

}  // namespace
}  // namespace ov
