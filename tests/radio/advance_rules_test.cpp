// The advanced page's rules: each table row is one case the page depends on.
#include "radio/advance_rules.h"

#include <gtest/gtest.h>

#include "radio/ht_table.h"

namespace ov {
namespace {

TEST(AdvanceRulesTest, BandAndModeMapBothWaysWithAndWithout80211n) {
  struct Row { Band band; bool ht; WirelessMode mode; } rows[] = {
      {Band::Ghz24, true, 9},  {Band::Ghz5, true, 8},  {Band::Ghz24And5, true, 5},
      {Band::Ghz24, false, 0}, {Band::Ghz5, false, 2}, {Band::Ghz24And5, false, 3},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(BandToMode(r.band, r.ht), r.mode);
    EXPECT_EQ(ModeToBand(r.mode, r.ht), r.band) << "mode " << r.mode;
  }
  EXPECT_EQ(BandToMode(Band::Other, true), 0);
  // Codes outside the table read as the 2.4 GHz band.
  for (WirelessMode mode : {1, 4, 6, 7}) EXPECT_EQ(ModeToBand(mode, true), Band::Ghz24) << mode;
  EXPECT_EQ(ModeToBand(9, false), Band::Ghz24);
  EXPECT_EQ(BandList(false), std::vector<Band>{Band::Ghz24});
  EXPECT_EQ(BandList(true), (std::vector<Band>{Band::Ghz24, Band::Ghz5, Band::Ghz24And5}));
}

TEST(AdvanceRulesTest, RegionListsFollowTheChipFamily) {
  EXPECT_EQ(RegionList24(0)[3], "3: SPAIN, CH10-11");
  EXPECT_EQ(RegionList24(6)[7], "7: CH5-13");
  EXPECT_TRUE(RegionList24(2).empty());
  EXPECT_TRUE(RegionList24(-1).empty());
  EXPECT_EQ(RegionList5(1).size(), 9u);
  EXPECT_EQ(RegionList5(4).size(), 11u);
  EXPECT_EQ(RegionList5(10).size(), 12u);
  EXPECT_TRUE(RegionList5(3).empty());
  EXPECT_EQ(RegionList5(4)[4], "4:  CH 149,153,157,161,165") << "two blanks on families 4 and 5";
  EXPECT_EQ(RegionList5(6)[4], "4: CH 149,153,157,161,165");
  EXPECT_EQ(RegionList5(5)[9], "9: CH 34, 38, 42, 46");
  EXPECT_EQ(RegionList5(8)[11],
            "11: CH 36, 40, 44, 48, 52, 56, 60, 64,100,104,108,112,116,120,149,153,157,161");
}

TEST(AdvanceRulesTest, RegionSpanDecidesTheBandwidth) {
  struct Row { const char* entry; WirelessMode mode; bool allowed24; bool allowed5; ChannelSpan span; int32_t bw; } rows[] = {
      {"2: ETSI, CH1-13", 9, true, true, {1, 13}, 1},
      {"3: SPAIN, CH10-11", 9, true, true, {10, 11}, 0},
      {"5: MKK, CH14", 9, true, true, {14, 14}, 0},
      {"7: CH5-13", 9, true, true, {5, 13}, 1},
      {"6: CH3-9", 5, true, true, {3, 9}, 1},
      {"31", 9, true, true, {31, 31}, 0},  // a fixed code's own entry
      {"1: CH1-13", 9, false, true, {1, 13}, 0},  // the EEPROM forbids 40 MHz at 2.4 GHz
      {"1: CH1-13", 7, false, true, {1, 13}, 0},
      {"1: CH1-13", 8, true, false, {1, 13}, 0},
      {"1: CH1-13", 5, false, false, {1, 13}, 1},  // both bands: no band to forbid
  };
  for (const Row& r : rows) {
    EXPECT_EQ(RegionChannelSpan(r.entry), r.span) << r.entry;
    EXPECT_EQ(BandwidthForRegion(r.entry, r.mode, r.allowed24, r.allowed5), r.bw)
        << r.entry << " mode " << r.mode;
  }
}

TEST(AdvanceRulesTest, RoamingWordReadsAndWrites) {
  struct Read { uint32_t word; Roaming roaming; } reads[] = {
      {0x5F20, {true, -70}},   // byte 95 is out of range
      {0x2820, {true, -40}},   // byte 40
      {0x5A00, {false, -90}},  // byte 90
      {0x2700, {false, -70}},  // byte 39
      {0x0000, {false, -70}},
  };
  for (const Read& r : reads) EXPECT_EQ(DecodeRoaming(r.word), r.roaming) << std::hex << r.word;

  EXPECT_EQ(EncodeRoaming(0xFFFF0000u | 0x5F20u, Roaming{false, -55}), 0xFFFF0000u | 0x4600u)
      << "off: bit 5 clear, 70 stored, other bits kept";
  EXPECT_EQ(EncodeRoaming(0x0001, Roaming{true, -55}), 0x3721u);
  for (int32_t threshold : {-90, -40}) EXPECT_TRUE(RoamThresholdValid(threshold));
  for (int32_t threshold : {-91, -39, 0}) EXPECT_FALSE(RoamThresholdValid(threshold));
}

TEST(AdvanceRulesTest, TransmitSettingWord) {
  HtFields fields;
  fields.mcs = kMcsAuto;
  fields.bw = 1;
  fields.htMode = 1;
  const uint32_t word = TransmitSettingFromFields(9, fields);
  EXPECT_EQ((word >> 4) & 0x7F, 33u) << "MCS Auto stores 33";
  EXPECT_EQ(word, 9u | 33u << 4 | 1u << 11 | 2u << 14 | 1u << 16);
  EXPECT_EQ(HtFieldsFromTransmitSetting(word, 9, true, true), fields);
  HtFields narrowed = fields;
  narrowed.bw = 0;
  EXPECT_EQ(HtFieldsFromTransmitSetting(word, 9, false, true), narrowed)
      << "an EEPROM without 40 MHz at 2.4 GHz reads 20 MHz";
  EXPECT_EQ(HtFieldsFromTransmitSetting(word, 8, false, true), fields) << "5 GHz is allowed";
}

TEST(AdvanceRulesTest, RateLabel) {
  CHTTable table;
  table.Build();
  const auto label = [&](int bw, int gi, int mcs) {
    double rate = 0;
    return RateLabelText(table.Lookup(bw, gi, mcs, rate) ? std::optional(rate) : std::nullopt);
  };
  EXPECT_EQ(label(0, 0, kMcsAuto), "Tx Rate: Not Available");
  EXPECT_EQ(label(1, 0, kMcsAuto), "Tx Rate: 39.00 Mbps");
  EXPECT_EQ(label(0, 0, 32), "Tx Rate: Not Available");
  EXPECT_EQ(label(1, 1, 15), "Tx Rate: 300.00 Mbps");
  EXPECT_EQ(McsFromText("Auto", "Auto"), 33);
  EXPECT_EQ(McsFromText("32", "Auto"), 32);
}

TEST(AdvanceRulesTest, DesiredRatesByModeAndIndex) {
  using Rates = std::array<uint8_t, 8>;
  struct Row { WirelessMode mode; int32_t index; int32_t mcs; Rates rates; } rows[] = {
      {9, 0, 33, {108, 96, 72, 48, 22, 11, 4, 2}},
      {5, 3, 7, {108}},
      {2, 0, 33, {108, 96, 72, 48, 36, 24, 18, 12}},
      {4, 9, 33, {108, 96, 72, 48, 36, 24, 18, 12}},
      {2, 1, 33, {12}},
      {4, 8, 33, {108}},
      {1, 0, 33, {22, 11, 4, 2}},
      {1, 3, 33, {11}},
      {0, 0, 33, {108, 96, 72, 48, 22, 11, 4, 2}},
      {0, 5, 33, {12}},
      {3, 12, 33, {108}},
      {0, 13, 33, {108, 96, 72, 48, 22, 11, 4, 2}},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(AdvanceDesiredRates(r.mode, r.index, r.mcs), r.rates) << "mode " << r.mode << " index " << r.index;
  }
  EXPECT_EQ(ClampTxRateIndex(1, 5), 0);
  EXPECT_EQ(ClampTxRateIndex(2, 9), 0);
  EXPECT_EQ(ClampTxRateIndex(0, 12), 12);
  EXPECT_EQ(CorrectForSave(1, false, 2, 5), (SaveCorrections{0, 0}));
  EXPECT_EQ(CorrectForSave(2, true, 1, 9), (SaveCorrections{0, 0}));
  EXPECT_EQ(CorrectForSave(2, false, 1, 9), (SaveCorrections{1, 9}));
}

TEST(AdvanceRulesTest, ReconnectKeepsTheProfileOrUsesDiscoveryBySecurity) {
  struct Row {
    const char* name;
    uint32_t connectionMode, bssType, auth, cipher;
    bool adhocVisible;
    ReconnectRequest request;
  } rows[] = {
      {"profile", 0, 1, 4, 4, false, {0, "home", {}, 1, false}},
      {"auto", 4, 1, 1, 0, false, {0, "home", {}, 1, false}},
      {"discovery, secured", 2, 1, 7, 4, false, {2, "", {'n', 'e', 't'}, 1, false}},
      {"discovery, open cipher WEP", 3, 1, 1, 1, false, {2, "", {'n', 'e', 't'}, 1, false}},
      {"discovery, open", 3, 1, 1, 0, false, {3, "", {'n', 'e', 't'}, 1, false}},
      {"ad hoc seen: join only", 0, 2, 1, 0, true, {0, "home", {}, 2, true}},
      {"ad hoc not seen", 0, 2, 1, 0, false, {0, "home", {}, 2, false}},
  };
  for (const Row& r : rows) {
    RememberedConnection remembered{true, r.connectionMode, "home", r.bssType, {'n', 'e', 't'}, r.auth, r.cipher};
    EXPECT_EQ(PlanReconnect(remembered, r.adhocVisible), r.request) << r.name;
  }
}

// The TCP window box: an administrator's values survive clearing the box; the page undoes only
// what it wrote.
TEST(AdvanceRulesTest, TcpWindowClearingKeepsWhatThePageDidNotWrite) {
  const TcpWindowValues none{};
  const TcpWindowValues pageValues{0x10000u, 1u, 2u, 1u};
  const TcpWindowValues admin{32768u, std::nullopt, 3u, std::nullopt};

  // Enabling over an administrator's values records them first.
  TcpWindowChange on = PlanTcpWindowSave(true, admin, std::nullopt);
  EXPECT_EQ(on.newBackup, admin);
  EXPECT_EQ(on.writes.size(), 4u);
  EXPECT_TRUE(on.deletes.empty());
  // Applying again keeps the first record.
  EXPECT_FALSE(PlanTcpWindowSave(true, pageValues, admin).newBackup.has_value());

  // Clearing restores them: written back where they were, deleted where absent.
  TcpWindowChange off = PlanTcpWindowSave(false, pageValues, admin);
  EXPECT_EQ(off.writes, (std::vector<std::pair<std::string, uint32_t>>{{"TCPWindowSize", 32768}, {"TcpMaxDupAcks", 3}}));
  EXPECT_EQ(off.deletes, (std::vector<std::string>{"SackOpts", "Tcp1323Opts"}));
  EXPECT_TRUE(off.dropBackup);

  // Values changed by someone after the page wrote them stay.
  TcpWindowValues changedSince = pageValues;
  changedSince[0] = 8192u;
  off = PlanTcpWindowSave(false, changedSince, none);
  EXPECT_EQ(off.deletes, (std::vector<std::string>{"SackOpts", "TcpMaxDupAcks", "Tcp1323Opts"}));
  EXPECT_TRUE(off.writes.empty());

  // No record: the values were never the page's, and nothing is touched.
  off = PlanTcpWindowSave(false, admin, std::nullopt);
  EXPECT_TRUE(off.writes.empty());
  EXPECT_TRUE(off.deletes.empty());
  EXPECT_FALSE(off.dropBackup);
}

TEST(AdvanceRulesTest, TcpWindowRecordRoundTripsAndRefusesOtherBytes) {
  const TcpWindowValues values{0x10000u, std::nullopt, 0xFFFFFFFFu, 0u};
  EXPECT_EQ(DecodeTcpWindowBackup(EncodeTcpWindowBackup(values)), values);
  EXPECT_FALSE(DecodeTcpWindowBackup(std::string(19, '\0')).has_value());
  std::string bad = EncodeTcpWindowBackup(values);
  bad[5] = 2;
  EXPECT_FALSE(DecodeTcpWindowBackup(bad).has_value());
}

}  // namespace
}  // namespace ov
