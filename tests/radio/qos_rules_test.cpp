// The rules of the 802.11n page, the WMM page and the block-ack panels: the HT option fields
// against the driver record and the registry word, the agreement and peer lists, the WMM flag
// word, the direct-link checks and list, the reconnect plan.
#include <gtest/gtest.h>

#include "driver/oid/bssid_list.h"
#include "platform/system/mac_address.h"
#include "radio/block_ack_rules.h"
#include "radio/connection_restart.h"
#include "radio/ht_settings_rules.h"
#include "radio/wmm_rules.h"

namespace ov {
namespace {

// ---- HT options ----

HtSettingsFields Fields(int amsdu, int size, int smps, int aggregation, int autoBa,
                        const char* density, int a, int b) {
  return HtSettingsFields{amsdu, size, smps, aggregation, autoBa, density, a, b};
}

struct PackingRow {
  const char* name;
  HtSettingsFields fields;
  uint32_t word;  // the "BACapability" the fields are stored as
};

class HtPackingTest : public ::testing::TestWithParam<PackingRow> {};

TEST_P(HtPackingTest, FieldsGoToTheWordAndComeBack) {
  const PackingRow& row = GetParam();
  const uint32_t word = EncodeBaCapability(EncodeHtSettings(row.fields));
  EXPECT_EQ(word, row.word) << std::hex << "got 0x" << word << ", expected 0x" << row.word;
  // Start from fields that differ everywhere, so nothing passes by staying at its default.
  HtSettingsFields back = Fields(1, 1, 2, 1, 1, "5", 7, 9);
  DecodeHtSettings(DecodeBaCapability(word), back);
  EXPECT_EQ(back, row.fields);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HtPackingTest,
    ::testing::Values(
        // 32 | 32 << 8 | auto << 16 | aggregation 1 << 17 | A-MSDU << 22 | SM enable 3 << 24
        PackingRow{"Defaults", HtSettingsFields{}, 0x20 | 0x2000 | 0x10000 | 0x20000 | 0x400000 | 0x3000000},
        PackingRow{"AggregationOffManualStatic", Fields(1, 0, 1, 0, 0, "0", 32, 32),
                   0x2020 | 0x40000 | 0x400000},
        PackingRow{"DynamicDensity7LargeAmsdu", Fields(1, 1, 2, 1, 1, "7", 64, 16),
                   0x10 | 0x4000 | 0x10000 | 0x20000 | (7u << 19) | 0x400000 | 0x800000 | 0x1000000},
        PackingRow{"WindowsAtTheirLimits", Fields(1, 0, 0, 1, 0, "3", 255, 0),
                   0xFF00 | 0x20000 | (3u << 19) | 0x400000 | 0x3000000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HtSettings, ZeroWordLoadsEverythingOffAndStoresAggregationOffAsTwo) {
  HtSettingsFields fields;
  fields.AmsduSize = 1;
  DecodeHtSettings(DecodeBaCapability(0), fields);
  EXPECT_EQ(fields.AmsduEnable, 0);
  EXPECT_EQ(fields.AmsduSize, 1) << "A-MSDU off keeps the size";
  EXPECT_EQ(fields.SmpsMode, 1) << "byte 6 = 0 is Static SMPS";
  EXPECT_EQ(fields.AggregationEnable, 0) << "byte 2 = 0 is not 1";
  EXPECT_EQ(fields.AutoBlockAck, 0) << "Manual";
  EXPECT_EQ(fields.MpduDensity, "0");
  EXPECT_EQ(fields.WindowLimitA, 0);
  EXPECT_EQ(fields.WindowLimitB, 0);

  const HtOptions applied = EncodeHtSettings(fields);
  EXPECT_EQ(applied.Aggregation, 2);
  EXPECT_EQ(applied.SmpsCode, 0);
  EXPECT_EQ(EncodeBaCapability(applied) >> 17 & 3, 2u);
}

TEST(HtSettings, SmpsCodesOutsideTheThreeReadAsSmEnable) {
  const struct {
    uint8_t code;
    int mode;
  } rows[] = {{0, 1}, {1, 2}, {2, 0}, {3, 0}, {200, 0}};
  for (const auto& row : rows) {
    HtOptions options;
    options.SmpsCode = row.code;
    HtSettingsFields fields;
    fields.SmpsMode = 1;
    DecodeHtSettings(options, fields);
    EXPECT_EQ(fields.SmpsMode, row.mode) << "code " << int(row.code);
  }
}

TEST(HtSettings, DensityTextIsHeldToWhatTheWordKeeps) {
  const struct {
    const char* text;
    uint8_t value;
  } rows[] = {{"0", 0}, {"7", 7}, {"8", 7}, {"", 0}, {" 3x", 3}, {"x3", 0}, {"99999999999999999999", 7}};
  for (const auto& row : rows) {
    EXPECT_EQ(MpduDensityValue(row.text), row.value) << '"' << row.text << '"';
  }
}

TEST(HtSettings, EnableStatesFollowAggregationModeAndAmsdu) {
  const struct {
    const char* name;
    int aggregation, autoBa, amsdu;
    HtSettingsEnables expected;
  } rows[] = {
      {"aggregation off", 0, 0, 1, {false, false, true}},
      {"manual", 1, 0, 1, {true, true, true}},
      {"auto", 1, 1, 0, {true, false, false}},
  };
  for (const auto& row : rows) {
    HtSettingsFields fields;
    fields.AggregationEnable = row.aggregation;
    fields.AutoBlockAck = row.autoBa;
    fields.AmsduEnable = row.amsdu;
    EXPECT_EQ(HtSettingsEnableStates(fields), row.expected) << row.name;
  }
}

// ---- Block-ack lists ----

BlockAckEntry Entry(uint8_t last, uint8_t bitmap) {
  BlockAckEntry entry;
  entry.Peer = {0x02, 0x5A, 0, 0, 0, last};
  entry.TidBitmap = bitmap;
  for (int tid = 0; tid < 8; ++tid) entry.TidValue[tid] = static_cast<uint8_t>(10 + tid);
  return entry;
}

TEST(BlockAckRows, EmptyBitmapsAreSkippedAndTheCountCountsRows) {
  BlockAckSide side{};
  side[0] = Entry(1, 0);  // no agreement: not a row
  side[1] = Entry(2, 0x01);
  side[2] = Entry(3, 0x81);
  side[3] = Entry(4, 0x20);
  side[4] = Entry(5, 0x02);  // beyond the count
  const std::vector<BlockAckRow> rows = BlockAckRows(side, 3);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0][0], "02-5A-00-00-00-02");
  EXPECT_EQ(rows[2][0], "02-5A-00-00-00-04");
  EXPECT_EQ(rows[1], (BlockAckRow{"02-5A-00-00-00-03", "10", "-", "-", "-", "-", "-", "-", "17"}));
  EXPECT_TRUE(BlockAckRows(side, 0).empty());
}

TEST(BlockAckPeers, CurrentAccessPointComesFirstAndZerosAreLeftOut) {
  PeerTable table;
  const MacAddress a{0x02, 0, 0, 0, 0, 0xA}, b{0x02, 0, 0, 0, 0, 0xB}, c{0x02, 0, 0, 0, 0, 0xC};
  table.Entries[0].Peer = a;
  table.Entries[1].Peer = MacAddress{};
  table.Entries[2].Peer = b;
  table.Entries[3].Peer = c;
  table.Entries[4].Peer = MacAddress{0x02, 0, 0, 0, 0, 0xD};  // beyond the count
  table.Count = 4;
  EXPECT_EQ(BlockAckPeers(table, c), (std::vector<MacAddress>{c, a, b}));
  EXPECT_EQ(BlockAckPeers(table, std::nullopt), (std::vector<MacAddress>{a, b, c}));
  EXPECT_EQ(BlockAckPeers(table, MacAddress{0x02, 0, 0, 0, 0, 0xE}), (std::vector<MacAddress>{a, b, c}))
      << "an access point that is no peer changes nothing";
  table.Count = 0;
  EXPECT_TRUE(BlockAckPeers(table, a).empty());
}

TEST(BlockAckPeers, RowTextReadsBackAsTheAddress) {
  EXPECT_EQ(ParseMacText("02-5A-0F-10-00-FE"), (MacAddress{0x02, 0x5A, 0x0F, 0x10, 0x00, 0xFE}));
  EXPECT_EQ(ParseMacText("025a0f1000fe"), (MacAddress{0x02, 0x5A, 0x0F, 0x10, 0x00, 0xFE}));
  for (const char* bad : {"", "02-5A-0F-10-00", "02-5A-0F-10-00-FE-01", "02-5A-0F-10-00-FG"}) {
    EXPECT_FALSE(ParseMacText(bad).has_value()) << bad;
  }
}

// ---- WMM flag word ----

TEST(WmmFlags, SwitchesMaskTheDriversWord) {
  const struct {
    const char* name;
    uint32_t word;
    bool wmm, ps;
    uint32_t sent;
  } rows[] = {
      {"WMM off clears power save", 0x1F, false, true, 0x1E},
      {"WMM off keeps the categories", 0x15, false, false, 0x14},
      {"WMM and power save on keep bit 0", 0x1F, true, true, 0x1F},
      {"bits above 6 never go back", 0xFF, true, true, 0x7F},
      {"power save off clears bit 0", 0x81, true, false, 0x00},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(WmmFlagsAfterWmmSwitch(row.word, row.wmm, row.ps), row.sent) << row.name;
  }
  EXPECT_EQ(WmmFlagsAfterPowerSaveSwitch(0x14, true), 0x15u);
  EXPECT_EQ(WmmFlagsAfterPowerSaveSwitch(0x95, false), 0x14u);
  EXPECT_EQ(WmmFlagsOfCategories({true, false, false, true}), 0x01u | 0x02u | 0x10u);
  EXPECT_EQ(WmmFlagsOfCategories({false, true, true, false}), 0x01u | 0x04u | 0x08u);
  EXPECT_EQ(CategoriesSetIn(0x0A), (WmmCategories{true, false, true, false}));
}

TEST(WmmFlags, PowerSaveStatusNamesTheTickedCategoriesInOrder) {
  EXPECT_EQ(PowerSaveStatusText(true, {true, true, true, true}, "Enabled", "Disabled"),
            "Enabled:AC_BE:AC_BK:AC_VI:AC_VO");
  EXPECT_EQ(PowerSaveStatusText(true, {false, true, false, true}, "Enabled", "Disabled"),
            "Enabled:AC_BK:AC_VO");
  EXPECT_EQ(PowerSaveStatusText(true, {}, "Enabled", "Disabled"), "Enabled");
  EXPECT_EQ(PowerSaveStatusText(false, {true, true, true, true}, "Enabled", "Disabled"), "Disabled");
}

// ---- Direct link set-up ----

struct PeerRow {
  const char* name;
  std::array<std::string, 6> parts;
  DlsPeerCheck check;
};

class DlsPeerTest : public ::testing::TestWithParam<PeerRow> {};

const MacAddress kOwnAddress{0x02, 0x5A, 0x0F, 0x00, 0x00, 0x01};

TEST_P(DlsPeerTest, Checks) {
  const PeerRow& row = GetParam();
  const DlsPeer peer = CheckDlsPeer(row.parts, kOwnAddress);
  EXPECT_EQ(peer.check, row.check);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DlsPeerTest,
    ::testing::Values(PeerRow{"Unicast", {"02", "aa", "BB", "cc", "dd", "EE"}, DlsPeerCheck::Ok},
                      PeerRow{"OwnAddress", {"02", "5A", "0F", "00", "00", "01"}, DlsPeerCheck::InvalidAddress},
                      PeerRow{"OwnAddressLowerCase", {"02", "5a", "0f", "00", "00", "01"},
                              DlsPeerCheck::InvalidAddress},
                      PeerRow{"AllZeros", {"00", "00", "00", "00", "00", "00"}, DlsPeerCheck::InvalidAddress},
                      PeerRow{"Broadcast", {"FF", "FF", "FF", "FF", "FF", "FF"}, DlsPeerCheck::InvalidAddress},
                      PeerRow{"Multicast", {"01", "00", "5E", "00", "00", "01"}, DlsPeerCheck::GroupAddress},
                      PeerRow{"OneDigit", {"02", "AA", "B", "CC", "DD", "EE"}, DlsPeerCheck::InvalidAddress},
                      PeerRow{"Empty", {"", "", "", "", "", ""}, DlsPeerCheck::InvalidAddress},
                      PeerRow{"NotHex", {"02", "AA", "BG", "CC", "DD", "EE"}, DlsPeerCheck::InvalidAddress}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DlsSetup, StoredTextIsTheTwelveCharactersAsTyped) {
  const DlsPeer peer = CheckDlsPeer({"02", "aa", "BB", "cc", "dd", "EE"}, std::nullopt);
  ASSERT_EQ(peer.check, DlsPeerCheck::Ok);
  EXPECT_EQ(peer.storedText, "02aaBBccddEE");
  EXPECT_EQ(peer.address, (MacAddress{0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));
  EXPECT_EQ(SplitStoredPeer("02aaBBccddEE"),
            (std::array<std::string, 6>{"02", "aa", "BB", "cc", "dd", "EE"}));
  EXPECT_EQ(SplitStoredPeer("0211223344"), (std::array<std::string, 6>{"02", "11", "22", "33", "44", ""}));
  EXPECT_EQ(SplitStoredPeer(""), (std::array<std::string, 6>{}));
}

TEST(DlsSetup, TimeoutMustBeAnIntegerUpTo65535) {
  const struct {
    const char* text;
    std::optional<uint16_t> seconds;
  } rows[] = {{"0", 0},   {"60", 60},         {"65535", 65535}, {"65536", std::nullopt},
              {"", std::nullopt}, {"99999999999999999999", std::nullopt}, {"-1", std::nullopt}};
  for (const auto& row : rows) {
    EXPECT_EQ(ParseDlsTimeout(row.text), row.seconds) << '"' << row.text << '"';
  }
}

TEST(DlsList, OnlyEstablishedWantedLinksAreListedButTearDownFindsAnyWantedOne) {
  const MacAddress a{0x02, 0, 0, 0, 0, 0xA}, b{0x02, 0, 0, 0, 0, 0xB}, c{0x02, 0, 0, 0, 0, 0xC};
  DlsTable table;
  table.Entries[0] = DlsEntry{30, 0, a, 0, 1};                      // wanted, not yet established
  table.Entries[1] = DlsEntry{60, 0, b, DLS_LINK_ESTABLISHED, 1};
  table.Entries[2] = DlsEntry{90, 0, c, DLS_LINK_ESTABLISHED, 0};  // being torn down
  table.Entries[3] = DlsEntry{65535, 0, a, DLS_LINK_ESTABLISHED, 1};
  EXPECT_EQ(DlsRows(table), (std::vector<DlsRow>{{"02-00-00-00-00-0B", "60"}, {"02-00-00-00-00-0A", "65535"}}));

  const std::optional<DlsEntry> request = DlsTearDownRequest(table, "02-00-00-00-00-0A");
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(*request, (DlsEntry{30, 0, a, 0, 0})) << "the first wanted entry of that address";
  EXPECT_FALSE(DlsTearDownRequest(table, "02-00-00-00-00-0C").has_value()) << "not wanted";
  EXPECT_FALSE(DlsTearDownRequest(table, "").has_value());
}

// ---- Reconnect ----

std::vector<uint8_t> ScanListWith(const char* ssid, uint32_t infrastructureMode) {
  std::vector<uint8_t> list(kBssidListBufferSize);
  BssidListWriter writer(list);
  BssDescription bss;
  bss.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, 0x01};
  bss.ssid = ssid;
  bss.infrastructureMode = infrastructureMode;
  bss.dsConfigKHz = 2437000;
  EXPECT_TRUE(writer.Append(MakeBssidEntry(bss)));
  return list;
}

TEST(Reconnect, ProfileConnectionsUseTheProfileAndDiscoveryTheSecurity) {
  RememberedLink c;
  c.profileName = "Home";
  c.ssid.SsidLength = 4;
  std::copy_n("Home", 4, c.ssid.Ssid.begin());
  const struct {
    const char* name;
    uint32_t mode, auth, cipher;
    uint32_t plannedMode;
    bool byProfile;
  } rows[] = {
      {"profile", 0, 7, 4, wlan::wlan_connection_mode_profile, true},
      {"auto", 4, 1, 0, wlan::wlan_connection_mode_profile, true},
      {"discovery open", 2, 1, 0, wlan::wlan_connection_mode_discovery_unsecure, false},
      {"discovery WEP", 3, 1, 1, wlan::wlan_connection_mode_discovery_secure, false},
      {"discovery shared key", 3, 2, 0, wlan::wlan_connection_mode_discovery_secure, false},
  };
  for (const auto& row : rows) {
    c.mode = row.mode;
    c.authAlgorithm = row.auth;
    c.cipherAlgorithm = row.cipher;
    const LinkRestartPlan request = PlanLinkRestart(c, {});
    EXPECT_EQ(request.mode, row.plannedMode) << row.name;
    EXPECT_EQ(request.profileName, row.byProfile ? "Home" : "") << row.name;
    EXPECT_EQ(request.ssid.text(), row.byProfile ? "" : "Home") << row.name;
  }
}

TEST(Reconnect, AnAdhocNetworkInRangeIsJoinedOnly) {
  RememberedLink c;
  c.bssType = 2;
  c.ssid.SsidLength = 3;
  std::copy_n("Lab", 3, c.ssid.Ssid.begin());
  EXPECT_TRUE(PlanLinkRestart(c, ScanListWith("Lab", 0)).adhocJoinOnly);
  EXPECT_TRUE(PlanLinkRestart(c, ScanListWith("Lab-2", 0)).adhocJoinOnly) << "the remembered length";
  EXPECT_FALSE(PlanLinkRestart(c, ScanListWith("Lab", 1)).adhocJoinOnly) << "an access point";
  EXPECT_FALSE(PlanLinkRestart(c, ScanListWith("Lib", 0)).adhocJoinOnly);
  c.bssType = 1;
  EXPECT_FALSE(PlanLinkRestart(c, ScanListWith("Lab", 0)).adhocJoinOnly) << "infrastructure";
}

TEST(Reconnect, OnlyAssociationKeyedCiphersAskForIt) {
  for (uint32_t cipher : {2u, 4u, 0x80000001u, 0x80000002u}) EXPECT_TRUE(CipherNeedsReassociation(cipher));
  for (uint32_t cipher : {0u, 1u, 5u, 0x101u, 0x80000000u}) EXPECT_FALSE(CipherNeedsReassociation(cipher));
}

}  // namespace
}  // namespace ov
