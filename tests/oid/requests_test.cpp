// The typed requests against a recording driver stand-in: which OID, size and direction each
// one sends, what the sets carry, and the read-modify-write and skip rules.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "driver/oid/oid_requests.h"
#include "tests/oid/recording_requester.h"

namespace ov {
namespace {

using Bytes = std::vector<uint8_t>;

template <size_t N>
Bytes ToVector(const std::array<uint8_t, N>& a) {
  return Bytes(a.begin(), a.end());
}

enum Direction { kQuery, kSet };

struct CatalogueRow {
  const char* call;
  std::function<void(OidRequester&)> run;
  Direction direction;
  uint32_t oid;   // as the request function hands it to the channel
  uint32_t size;
};

const MacAddress kBssid = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};

// Every request of the catalogue, one row per function and direction (query functions of
// varying size once per size).
std::vector<CatalogueRow> Catalogue() {
  // Out-values of the queries; their content is not looked at here.
  static uint16_t u16;
  static uint32_t u32;
  static int32_t i32;
  static MacAddress mac;
  static std::array<uint8_t, 4> ip;
  static NDIS_802_11_SSID ssid;
  static DOT11_SUPPORTED_PHY_TYPES phyTypes;
  static CountryRegion region;
  static LinkStatus link;
  static DriverStatistics stats;
  static BlockAckTable baTable;
  static HtOptions htOptions;
  static HtPhyMode htPhyMode;
  static PeerTable peers;
  static WpsStatus wpsStatus;
  static WpsCredentialTable wpsTable;
  static NDIS_802_11_CONFIGURATION config;
  static StaConfig staConfig;
  static DlsTable dlsTable;
  static CcxTspec tspec;

  return {
      // Published NDIS
      {"QueryDriverVersion", [](OidRequester& r) { QueryDriverVersion(r, u16); }, kQuery, 0x00010110, 2},
      {"QueryRcvNoBuffer", [](OidRequester& r) { QueryRcvNoBuffer(r, u32); }, kQuery, 0x00020105, 4},
      {"QueryCurrentAddress", [](OidRequester& r) { QueryCurrentAddress(r, mac); }, kQuery, 0x01010102, 6},
      {"QuerySsid", [](OidRequester& r) { QuerySsid(r, ssid); }, kQuery, 0x0D010102, 36},
      {"SetSsid", [](OidRequester& r) { SetSsid(r, MakeNdisSsid("x")); }, kSet, 0x0D010102, 36},
      {"SetDisassociate", [](OidRequester& r) { SetDisassociate(r); }, kSet, 0x0D010115, 0},
      {"SetDesiredRates", [](OidRequester& r) { SetDesiredRates(r, {}); }, kSet, 0x0D010210, 8},
      // Published native 802.11
      {"SetRtsThreshold", [](OidRequester& r) { SetRtsThreshold(r, 2347); }, kSet, 0x0D01031F, 4},
      {"SetFragmentationThreshold", [](OidRequester& r) { SetFragmentationThreshold(r, 2346); }, kSet, 0x0D010322, 4},
      {"QuerySupportedPhyTypes", [](OidRequester& r) { QuerySupportedPhyTypes(r, phyTypes); }, kQuery, 0x0D010326, 264},
      {"QueryDot11CurrentAddress", [](OidRequester& r) { QueryDot11CurrentAddress(r, mac); }, kQuery, 0x0D010702, 6},
      {"SetFlushBssList", [](OidRequester& r) { SetFlushBssList(r); }, kSet, 0x0E01017A, 0},
      {"SetPowerMgmtRequest", [](OidRequester& r) { SetPowerMgmtRequest(r, 16); }, kSet, 0x0E01017B, 4},
      {"SetDesiredBssidList", [](OidRequester& r) { SetDesiredBssidList(r, kBssid); }, kSet, 0x0E01017E, 20},
      {"SetDisconnectRequest", [](OidRequester& r) { SetDisconnectRequest(r); }, kSet, 0x0E01018E, 0},
      // Vendor
      {"SetPhyMode", [](OidRequester& r) { SetPhyMode(r, 9); }, kSet, 0xFF8C0002, 4},
      {"QueryCountryRegion", [](OidRequester& r) { QueryCountryRegion(r, region); }, kQuery, 0xFF0C0003, 4},
      {"SetCountryRegion", [](OidRequester& r) { SetCountryRegion(r, 1, 1, true, true); }, kSet, 0xFF8C0003, 4},
      {"QueryEepromVersion", [](OidRequester& r) { QueryEepromVersion(r, u32); }, kQuery, 0xFF0C0004, 4},
      {"QueryFirmwareVersion", [](OidRequester& r) { QueryFirmwareVersion(r, u32); }, kQuery, 0xFF0C0005, 4},
      {"QueryTxPower", [](OidRequester& r) { QueryTxPower(r, i32); }, kQuery, 0xFF0C0007, 4},
      {"SetTxPower", [](OidRequester& r) { SetTxPower(r, 2); }, kSet, 0xFF8C0007, 4},
      {"QueryRegister", [](OidRequester& r) { QueryRegister(r, 0, 0, u32); }, kQuery, 0xFF0C0008, 12},
      {"SetRegister", [](OidRequester& r) { SetRegister(r, {}); }, kSet, 0xFF8C0008, 12},
      {"QueryLinkStatus family 0", [](OidRequester& r) { QueryLinkStatus(r, 0, link); }, kQuery, 0xFF0C0009, 16},
      {"QueryLinkStatus family 1", [](OidRequester& r) { QueryLinkStatus(r, 1, link); }, kQuery, 0xFF0C0009, 16},
      {"QueryLinkStatus family 2", [](OidRequester& r) { QueryLinkStatus(r, 2, link); }, kQuery, 0xFF0C0009, 0},
      {"QueryLinkStatus family 3", [](OidRequester& r) { QueryLinkStatus(r, 3, link); }, kQuery, 0xFF0C0009, 0},
      {"QueryLinkStatus family 5", [](OidRequester& r) { QueryLinkStatus(r, 5, link); }, kQuery, 0xFF0C0009, 16},
      {"QueryLinkStatus family 6", [](OidRequester& r) { QueryLinkStatus(r, 6, link); }, kQuery, 0xFF0C0009, 20},
      {"QueryLinkStatus family 10", [](OidRequester& r) { QueryLinkStatus(r, 10, link); }, kQuery, 0xFF0C0009, 20},
      {"QueryLinkStatus no family", [](OidRequester& r) { QueryLinkStatus(r, -1, link); }, kQuery, 0xFF0C0009, 0},
      {"QueryNoise", [](OidRequester& r) { QueryNoise(r, u32); }, kQuery, 0xFF0C000A, 4},
      {"QueryDriverStatistics", [](OidRequester& r) { QueryDriverStatistics(r, stats); }, kQuery, 0xFF0C000B, 184},
      {"SetResetCounters", [](OidRequester& r) { SetResetCounters(r); }, kSet, 0xFF8C000C, 0},
      {"QueryExtraInfo", [](OidRequester& r) { QueryExtraInfo(r, u32); }, kQuery, 0xFF0C000D, 4},
      {"QueryLastRxRate", [](OidRequester& r) { QueryLastRxRate(r, u32); }, kQuery, 0xFF0C000E, 4},
      {"QueryRssi0", [](OidRequester& r) { QueryRssi0(r, i32); }, kQuery, 0xFF0C000F, 4},
      {"QueryRssi1", [](OidRequester& r) { QueryRssi1(r, i32); }, kQuery, 0xFF0C0010, 4},
      {"QueryOpMode", [](OidRequester& r) { QueryOpMode(r, u32); }, kQuery, 0xFF0C001A, 4},
      {"SetOpMode", [](OidRequester& r) { SetOpMode(r, 0); }, kSet, 0xFF8C001A, 4},
      {"QueryLastTxRate", [](OidRequester& r) { QueryLastTxRate(r, u32); }, kQuery, 0xFF0C0021, 4},
      {"QueryRssi2", [](OidRequester& r) { QueryRssi2(r, i32); }, kQuery, 0xFF0C0022, 4},
      {"QuerySnr0", [](OidRequester& r) { QuerySnr0(r, u32); }, kQuery, 0xFF0C0023, 4},
      {"QuerySnr1", [](OidRequester& r) { QuerySnr1(r, u32); }, kQuery, 0xFF0C0024, 4},
      {"QueryBaTable", [](OidRequester& r) { QueryBaTable(r, baTable, u32); }, kQuery, 0xFF0C0025, 3076},
      {"SetBaTable", [](OidRequester& r) { SetBaTable(r, {}); }, kSet, 0xFF8C0025, 14},
      {"QueryHtOptions", [](OidRequester& r) { QueryHtOptions(r, htOptions); }, kQuery, 0xFF0C0026, 8},
      {"SetHtOptions", [](OidRequester& r) { SetHtOptions(r, {}); }, kSet, 0xFF8C0026, 8},
      {"SetDeleteBa", [](OidRequester& r) { SetDeleteBa(r, {}); }, kSet, 0xFF8C0027, 14},
      {"QueryHtPhyMode", [](OidRequester& r) { QueryHtPhyMode(r, htPhyMode); }, kQuery, 0xFF0C0028, 12},
      {"SetHtPhyMode", [](OidRequester& r) { SetHtPhyMode(r, {}); }, kSet, 0xFF8C0028, 12},
      {"QueryPeerTable", [](OidRequester& r) { QueryPeerTable(r, peers); }, kQuery, 0xFF0C0029, 324},
      {"SetWpsStart", [](OidRequester& r) { SetWpsStart(r, {}); }, kSet, 0xFF8C002A, 56},
      {"SetWpsAssocIe", [](OidRequester& r) { SetWpsAssocIe(r, 1); }, kSet, 0xFF8C002B, 4},
      {"SetWpsProbeIe", [](OidRequester& r) { SetWpsProbeIe(r, 1); }, kSet, 0xFF8C002C, 4},
      {"QueryWpsStatus", [](OidRequester& r) { QueryWpsStatus(r, wpsStatus); }, kQuery, 0xFF0C002D, 4},
      {"QueryWpsProfileTable", [](OidRequester& r) { QueryWpsProfileTable(r, wpsTable); }, kQuery, 0xFF0C002E, 996},
      {"SetWpsProfileTable", [](OidRequester& r) { SetWpsProfileTable(r, {}); }, kSet, 0xFF8C0049, 996},
      {"QueryWpsPbcStarted", [](OidRequester& r) { QueryWpsPbcStarted(r, u32); }, kQuery, 0xFF0C002F, 4},
      {"SetConnectFlag", [](OidRequester& r) { SetConnectFlag(r, 1); }, kSet, 0xFF8C0030, 4},
      {"QueryConfiguration", [](OidRequester& r) { QueryConfiguration(r, config); }, kQuery, 0xFF0C003B, 32},
      {"SetConfiguration", [](OidRequester& r) { SetConfiguration(r, {}); }, kSet, 0xFF8C003B, 32},
      {"SetWpsAutoSelect", [](OidRequester& r) { SetWpsAutoSelect(r, 1); }, kSet, 0xFF8C004C, 4},
      {"SetPreamble", [](OidRequester& r) { SetPreamble(r, 2); }, kSet, 0xFFF10101, 4},
      {"QueryStaConfig", [](OidRequester& r) { QueryStaConfig(r, staConfig); }, kQuery, 0xFF710111, 32},
      {"SetStaConfig", [](OidRequester& r) { SetStaConfig(r, {}); }, kSet, 0xFFF10111, 32},
      {"SetCcxControl", [](OidRequester& r) { SetCcxControl(r, 1, 0); }, kSet, 0xFFF1011E, 4},
      {"QueryApIpAddress", [](OidRequester& r) { QueryApIpAddress(r, ip); }, kQuery, 0xFF71011F, 4},
      {"QueryWmmFlags", [](OidRequester& r) { QueryWmmFlags(r, u32); }, kQuery, 0xFF71012A, 4},
      {"SetWmmFlags", [](OidRequester& r) { SetWmmFlags(r, 1); }, kSet, 0xFFF1012A, 4},
      {"SetWmmByteSwitch", [](OidRequester& r) { SetWmmByteSwitch(r, 1); }, kSet, 0xFFF1012D, 1},
      {"SetDlsEnable", [](OidRequester& r) { SetDlsEnable(r, 1); }, kSet, 0xFFF10131, 4},
      {"QueryDlsTable", [](OidRequester& r) { QueryDlsTable(r, dlsTable); }, kQuery, 0xFF710132, 48},
      {"SetDlsTable", [](OidRequester& r) { SetDlsTable(r, {}); }, kSet, 0xFFF10132, 12},
      {"SetWpsWirelessMode", [](OidRequester& r) { SetWpsWirelessMode(r, 0); }, kSet, 0xFFF10151, 4},
      {"QueryWpsChannel", [](OidRequester& r) { QueryWpsChannel(r, u32); }, kQuery, 0xFF710152, 4},
      {"QueryCcxTspec", [](OidRequester& r) { QueryCcxTspec(r, tspec); }, kQuery, 0xFF710153, 156},
      {"SetCcxTspec", [](OidRequester& r) { SetCcxTspec(r, {}); }, kSet, 0xFFF10153, 156},
      {"SetCcxDiag", [](OidRequester& r) { SetCcxDiag(r, 1); }, kSet, 0xFFF10162, 1},
      {"QueryNicReady", [](OidRequester& r) { QueryNicReady(r, u32); }, kQuery, 0xFF710181, 4},
  };
}

TEST(OidCatalogue, EachRequestSendsItsOidSizeAndDirection) {
  for (const CatalogueRow& row : Catalogue()) {
    SCOPED_TRACE(row.call);
    RecordingRequester driver;
    row.run(driver);
    ASSERT_EQ(driver.calls.size(), 1u);
    const RecordingRequester::Call& call = driver.calls[0];
    EXPECT_EQ(call.isSet, row.direction == kSet);
    EXPECT_EQ(call.oid, row.oid) << std::hex << "sent 0x" << call.oid << ", expected 0x" << row.oid;
    EXPECT_EQ(call.size, row.size);
    if (row.direction == kSet) {
      EXPECT_EQ(call.retries, kSetAttempts);
    } else if (std::string(row.call) != "QueryRegister") {
      EXPECT_EQ(call.bytes, Bytes(row.size, 0)) << "query buffers go out zeroed";
    }
  }
}

// ---- Queries decode what the driver answered ----

TEST(OidQueries, DecodeTheAnswer) {
  RecordingRequester driver;
  driver.answers[0xFF0C0003] = {0x05, 0x8A, 0, 0};
  driver.answers[0xFF0C0007] = {0xFF, 0xFF, 0xFF, 0xFF};
  driver.answers[0x0D010102] = {3, 0, 0, 0, 'n', 'e', 't'};
  driver.answers[0x00010110] = {0x01, 0x05};
  driver.answers[0xFF71011F] = {192, 0, 2, 1};
  driver.answers[0xFF0C002D] = {0x07, 0, 0, 0x10};

  CountryRegion region;
  EXPECT_TRUE(QueryCountryRegion(driver, region));
  EXPECT_TRUE(region == (CountryRegion{5, false, 10, true}));

  int32_t txPower = 0;
  EXPECT_TRUE(QueryTxPower(driver, txPower));
  EXPECT_EQ(txPower, -1);

  NDIS_802_11_SSID ssid;
  EXPECT_TRUE(QuerySsid(driver, ssid));
  EXPECT_EQ(NdisSsidText(ssid), "net");

  uint16_t version = 0;
  EXPECT_TRUE(QueryDriverVersion(driver, version));
  EXPECT_EQ(version, 0x0501);

  std::array<uint8_t, 4> ip{};
  EXPECT_TRUE(QueryApIpAddress(driver, ip));
  EXPECT_EQ(ip, (std::array<uint8_t, 4>{192, 0, 2, 1}));

  WpsStatus status;
  EXPECT_TRUE(QueryWpsStatus(driver, status));
  EXPECT_TRUE(status == (WpsStatus{7, true}));
}

TEST(OidQueries, FailedQueryReadsAsZeros) {
  // The statistics page shows zeros when the driver does not answer.
  RecordingRequester driver;
  driver.failingQueries.insert(0xFF0C000B);
  DriverStatistics stats;
  stats.SetCounter(STAT_TX_SUCCESS, 12345);
  EXPECT_FALSE(QueryDriverStatistics(driver, stats));
  EXPECT_TRUE(stats == DriverStatistics{});
}

TEST(OidQueries, RegisterQueryCarriesKindAndAddress) {
  RecordingRequester driver;
  driver.answers[0xFF0C0008] = {3, 0, 0, 0, 0x36, 0, 0, 0, 0xFF, 0xFC, 0, 0};
  uint32_t value = 0;
  EXPECT_TRUE(QueryRegister(driver, REGISTER_KIND_EEPROM, kEepromBandwidthWordAddress, value));
  EXPECT_EQ(driver.calls.at(0).bytes, (Bytes{3, 0, 0, 0, 0x36, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(value, 0xFCFFu);
}

TEST(OidQueries, LinkStatusTakesOnlyTheFamilysSize) {
  const Bytes answer = {108, 0, 0, 0, 80, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 11, 0, 0, 0};
  const struct {
    int32_t family;
    LinkStatus expected;
  } rows[] = {
      {0, {108, 80, 1, 2, 0}},   // 16 bytes: no central channel
      {6, {108, 80, 1, 2, 11}},  // 20 bytes
      {2, {0, 0, 0, 0, 0}},      // asked with size 0: nothing to read
      {3, {0, 0, 0, 0, 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.family);
    RecordingRequester driver;
    driver.answers[0xFF0C0009] = answer;
    LinkStatus status{9, 9, 9, 9, 9};
    QueryLinkStatus(driver, row.family, status);
    EXPECT_TRUE(status == row.expected);
  }
}

TEST(OidQueries, BlockAckTablePassesTheByteCountOn) {
  // An answer of no bytes tells the page to keep its lists.
  RecordingRequester driver;
  BlockAckTable table;
  uint32_t bytesReturned = 99;
  EXPECT_TRUE(QueryBaTable(driver, table, bytesReturned));
  EXPECT_EQ(bytesReturned, 0u);

  Bytes answer(3076, 0);
  answer[3072] = 1;
  answer[6] = 0x01;
  driver.answers[0xFF0C0025] = answer;
  EXPECT_TRUE(QueryBaTable(driver, table, bytesReturned));
  EXPECT_EQ(bytesReturned, 3076u);
  EXPECT_EQ(table.OriginatorCount, 1);
  EXPECT_EQ(table.Originator[0].TidBitmap, 0x01);
}

// ---- The combined signal of the receive chains ----

TEST(OidQueries, CombinedRssiTakesTheLargestChainThatAnswered) {
  const struct {
    const char* name;
    bool chain0Answers;
    int32_t chain0;
    bool chain1Answers;
    int32_t chain1;
    bool result;
    int32_t dBm;
  } rows[] = {
      {"two chains, second stronger", true, -60, true, -50, true, -50},
      {"two chains, first stronger", true, -45, true, -70, true, -45},
      {"one-chain adapter refuses chain 1", true, -70, false, 0, true, -70},
      {"second chain without a reading", true, -60, true, -200, true, -60},
      {"only chain 1 answers", false, 0, true, -55, true, -55},
      {"nothing answers", false, 0, false, 0, false, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RecordingRequester driver;
    auto answer = [](int32_t v) {
      const uint32_t u = static_cast<uint32_t>(v);
      return Bytes{uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
    };
    if (row.chain0Answers) driver.answers[0xFF0C000F] = answer(row.chain0);
    else driver.failingQueries.insert(0xFF0C000F);
    if (row.chain1Answers) driver.answers[0xFF0C0010] = answer(row.chain1);
    else driver.failingQueries.insert(0xFF0C0010);

    int32_t dBm = 12345;
    EXPECT_EQ(QueryCombinedRssi(driver, dBm), row.result);
    EXPECT_EQ(dBm, row.dBm);
    EXPECT_TRUE(driver.Sets().empty());
  }
}

// ---- Set payloads ----

TEST(OidSets, TxPowerSendsThePercentOfTheLevel) {
  const struct {
    int32_t level;
    Bytes payload;
  } rows[] = {
      {0, {0xFF, 0xFF, 0xFF, 0xFF}}, {1, {100, 0, 0, 0}}, {2, {75, 0, 0, 0}},
      {3, {50, 0, 0, 0}},            {4, {25, 0, 0, 0}},  {5, {10, 0, 0, 0}},
      {6, {6, 0, 0, 0}},             {7, {0xFF, 0xFF, 0xFF, 0xFF}},
      {-1, {0xFF, 0xFF, 0xFF, 0xFF}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.level);
    RecordingRequester driver;
    SetTxPower(driver, row.level);
    ASSERT_EQ(driver.calls.size(), 1u);
    EXPECT_EQ(driver.calls[0].bytes, row.payload);
  }
}

TEST(OidSets, CcxControlAppliesTheBySsidRule) {
  const struct {
    uint32_t flag, value;
    Bytes payload;
  } rows[] = {
      {1, 0x00000520, {0x20, 0x05, 0, 0}},
      {0, 0x00000520, {0x00, 0xFA, 0, 0}},
      {0, 0x00010001, {0x01, 0xFA, 0x01, 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.flag);
    RecordingRequester driver;
    SetCcxControl(driver, row.flag, row.value);
    ASSERT_EQ(driver.calls.size(), 1u);
    EXPECT_EQ(driver.calls[0].oid, 0xFFF1011Eu);
    EXPECT_EQ(driver.calls[0].bytes, row.payload);
  }
}

TEST(OidSets, CountryRegionSkippedWhenNoBandMayChange) {
  const struct {
    bool changeable24, changeable5;
    SetResult result;
  } rows[] = {
      {false, false, SetResult::Skipped},
      {true, false, SetResult::Sent},
      {false, true, SetResult::Sent},
      {true, true, SetResult::Sent},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.changeable24) + std::to_string(row.changeable5));
    RecordingRequester driver;
    EXPECT_EQ(SetCountryRegion(driver, 5, 10, row.changeable24, row.changeable5), row.result);
    if (row.result == SetResult::Skipped) {
      EXPECT_TRUE(driver.calls.empty());
    } else {
      ASSERT_EQ(driver.calls.size(), 1u);
      EXPECT_EQ(driver.calls[0].oid, 0xFF8C0003u);
      EXPECT_EQ(driver.calls[0].bytes, (Bytes{0x05, 0x0A, 0, 0}));
    }
  }
  RecordingRequester busy;
  busy.failingSets.insert(0xFF8C0003);
  EXPECT_EQ(SetCountryRegion(busy, 5, 10, true, false), SetResult::Failed);
}

TEST(OidSets, WpsProfileTableUsesTheDriversOwnSetValue) {
  RecordingRequester driver;
  WpsCredentialTable table;
  table.Count = 1;
  table.Credentials[0].SsidLength = 2;
  table.Credentials[0].Ssid[0] = 'a';
  table.Credentials[0].Ssid[1] = 'b';
  SetWpsProfileTable(driver, table);
  ASSERT_EQ(driver.calls.size(), 1u);
  EXPECT_EQ(driver.calls[0].oid, 0xFF8C0049u) << "not the query value with the set bit, 0xFF8C002E";
  EXPECT_EQ(driver.calls[0].bytes, ToVector(EncodeWpsCredentialTable(table)));
}

TEST(OidSets, DesiredBssidListCarriesItsHeader) {
  RecordingRequester driver;
  SetDesiredBssidList(driver, kBssid);
  ASSERT_EQ(driver.calls.size(), 1u);
  EXPECT_EQ(driver.calls[0].bytes, (Bytes{0x80, 1, 20, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0x02, 0x11,
                                          0x22, 0x33, 0x44, 0x55, 0, 0}));
}

TEST(OidSets, ResultIsTheFirstAttempt) {
  RecordingRequester driver;
  EXPECT_TRUE(SetPhyMode(driver, 9));
  driver.failingSets.insert(0xFF8C0002);
  EXPECT_FALSE(SetPhyMode(driver, 9));
  EXPECT_EQ(driver.calls.back().retries, kSetAttempts);
}

TEST(OidSets, StaConfigSetWritesOffset24AsZero) {
  RecordingRequester driver;
  SetStaConfig(driver, StaConfig{1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_EQ(driver.calls.size(), 1u);
  EXPECT_EQ(driver.calls[0].bytes, (Bytes{1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0,
                                          5, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, 0}));
}

// ---- Read-modify-write ----

// The driver's record: every field distinct, offset 24 already 0.
const Bytes kStaConfigAnswer = {1, 0, 0, 0, 9, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0,
                                3, 0, 0, 0, 0xAA, 0xBB, 0, 0, 0, 0, 0, 0, 0xCC, 0xDD, 0, 0};

TEST(StaConfigUpdate, ChangesOnlyTheGivenFieldsAndKeepsTheDriversOwn) {
  RecordingRequester driver;
  driver.answers[0xFF710111] = kStaConfigAnswer;
  StaConfigChanges changes;
  changes.TxBurst = 0;
  changes.AdhocRateMode = 4;
  StaConfig result;
  EXPECT_EQ(UpdateStaConfig(driver, changes, &result), SetResult::Sent);

  ASSERT_EQ(driver.calls.size(), 2u);
  EXPECT_FALSE(driver.calls[0].isSet);
  EXPECT_EQ(driver.calls[0].oid, 0xFF710111u);
  EXPECT_EQ(driver.calls[1].oid, 0xFFF10111u);
  EXPECT_EQ(driver.calls[1].retries, kSetAttempts);
  Bytes expected = kStaConfigAnswer;
  expected[0] = 0;   // transmit burst
  expected[16] = 4;  // ad hoc rate mode
  EXPECT_EQ(driver.calls[1].bytes, expected);
  EXPECT_TRUE(result == (StaConfig{0, 9, 2, 1, 4, 0xBBAA, 0, 0xDDCC}));
}

TEST(StaConfigUpdate, SkippedWhenNothingChanged) {
  RecordingRequester driver;
  driver.answers[0xFF710111] = kStaConfigAnswer;
  StaConfigChanges changes;
  changes.TxBurst = 1;
  changes.BgProtection = 2;
  changes.AdhocRateMode = 3;
  StaConfig result;
  EXPECT_EQ(UpdateStaConfig(driver, changes, &result), SetResult::Skipped);
  EXPECT_TRUE(driver.Sets().empty());
  EXPECT_TRUE(result == (StaConfig{1, 9, 2, 1, 3, 0xBBAA, 0, 0xDDCC}));
}

TEST(StaConfigUpdate, NonZeroOffset24IsAChange) {
  RecordingRequester driver;
  Bytes answer = kStaConfigAnswer;
  answer[24] = 5;
  driver.answers[0xFF710111] = answer;
  EXPECT_EQ(UpdateStaConfig(driver, StaConfigChanges{}), SetResult::Sent);
  ASSERT_EQ(driver.Sets().size(), 1u);
  EXPECT_EQ(driver.Sets()[0].bytes, kStaConfigAnswer);
}

TEST(StaConfigUpdate, NothingSentWhenTheReadFails) {
  RecordingRequester driver;
  driver.failingQueries.insert(0xFF710111);
  StaConfigChanges changes;
  changes.TxBurst = 1;
  StaConfig result{7, 7, 7, 7, 7, 7, 7, 7};
  EXPECT_EQ(UpdateStaConfig(driver, changes, &result), SetResult::ReadFailed);
  EXPECT_TRUE(driver.Sets().empty());
  EXPECT_TRUE(result == (StaConfig{7, 7, 7, 7, 7, 7, 7, 7}));
}

TEST(StaConfigUpdate, FailedSetIsReported) {
  RecordingRequester driver;
  driver.answers[0xFF710111] = kStaConfigAnswer;
  driver.failingSets.insert(0xFFF10111);
  StaConfigChanges changes;
  changes.ShortSlot = 0;
  EXPECT_EQ(UpdateStaConfig(driver, changes), SetResult::Failed);
}

TEST(HtPhyModeUpdate, KeepsBytes6And11OfTheDriver) {
  RecordingRequester driver;
  driver.answers[0xFF0C0028] = {5, 0, 0, 0, 1, 0, 2, 7, 0, 0, 0, 0x5A};
  HtPhyMode sent;
  EXPECT_TRUE(UpdateHtPhyMode(driver, DecodeTransmitSetting(0x0009BA19), &sent));
  ASSERT_EQ(driver.calls.size(), 2u);
  EXPECT_EQ(driver.calls[0].oid, 0xFF0C0028u);
  EXPECT_EQ(driver.calls[1].oid, 0xFF8C0028u);
  EXPECT_EQ(driver.calls[1].bytes, (Bytes{9, 0, 0, 0, 2, 1, 2, 33, 1, 1, 1, 0x5A}));
  EXPECT_EQ(ToVector(EncodeHtPhyMode(sent)), driver.calls[1].bytes);
}

TEST(HtPhyModeUpdate, FailedReadStillSendsTheSettings) {
  RecordingRequester driver;
  driver.failingQueries.insert(0xFF0C0028);
  EXPECT_TRUE(UpdateHtPhyMode(driver, HtPhySettings{9, 2, 0, 15, 0, 0, 1}));
  ASSERT_EQ(driver.Sets().size(), 1u);
  EXPECT_EQ(driver.Sets()[0].bytes, (Bytes{9, 0, 0, 0, 2, 0, 0, 15, 0, 0, 1, 0}));
}

TEST(ConfigurationUpdate, ReplacesOnlyDsConfig) {
  RecordingRequester driver;
  const Bytes answer = {32, 0, 0, 0, 100, 0, 0, 0, 3, 0, 0, 0, 0xE0, 0xCD, 0x24, 0,  // 2412000
                        16, 0, 0, 0, 1,   0, 0, 0, 2, 0, 0, 0, 9,    0,    0,    0};
  driver.answers[0xFF0C003B] = answer;
  EXPECT_EQ(UpdateConfigurationChannel(driver, 2437000), SetResult::Sent);
  ASSERT_EQ(driver.Sets().size(), 1u);
  EXPECT_EQ(driver.Sets()[0].oid, 0xFF8C003Bu);
  Bytes expected = answer;
  expected[12] = 0x88;
  expected[13] = 0x2F;
  expected[14] = 0x25;
  EXPECT_EQ(driver.Sets()[0].bytes, expected);
}

TEST(ConfigurationUpdate, NothingSentWhenTheReadFails) {
  RecordingRequester driver;
  driver.failingQueries.insert(0xFF0C003B);
  EXPECT_EQ(UpdateConfigurationChannel(driver, 2437000), SetResult::ReadFailed);
  EXPECT_TRUE(driver.Sets().empty());
}

}  // namespace
}  // namespace ov
