// The simulated driver's side of the OID contract, without sockets: every catalogue OID answers
// with its record, sets arrive marked, and failures come where a driver honouring the contract
// gives them. Time is a virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "driver/oid/oid_requests.h"
#include "platform/time/virtual_clock.h"
#include "sim/simulated_adapter.h"
#include "tests/sim/sim_test_support.h"

namespace ov::sim {
namespace {

using test::Answer;
using test::Ask;
using test::DirectRequester;
using test::MakeSpec;

std::vector<uint8_t> Le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

template <size_t N>
std::vector<uint8_t> V(const std::array<uint8_t, N>& a) {
  return std::vector<uint8_t>(a.begin(), a.end());
}

class SimulatedAdapterTest : public ::testing::Test {
 protected:
  SimulatedAdapter& make(const AdapterSpec& spec) {
    adapter_ = std::make_unique<SimulatedAdapter>(spec, simClock_);
    adapter_->start(DefaultAdapterParameters(spec));
    return *adapter_;
  }

  VirtualClock clock_;
  TimerServiceSimClock simClock_{clock_};
  std::unique_ptr<SimulatedAdapter> adapter_;
};

// The catalogue, as the utility sends it; the driver must know every one.
const std::vector<uint32_t> kCatalogueQueries = {
    OID_GEN_DRIVER_VERSION, OID_GEN_RCV_NO_BUFFER, OID_802_3_CURRENT_ADDRESS, OID_802_11_SSID,
    OID_DOT11_SUPPORTED_PHY_TYPES, OID_DOT11_CURRENT_ADDRESS,
    OID_VND_COUNTRY_REGION.query, OID_VND_EEPROM_VERSION.query, OID_VND_FIRMWARE_VERSION.query,
    OID_VND_TX_POWER.query, OID_VND_REGISTER.query, OID_VND_LINK_STATUS.query,
    OID_VND_NOISE.query, OID_VND_DRIVER_STATISTICS.query, OID_VND_EXTRA_INFO.query,
    OID_VND_LAST_RX_RATE.query, OID_VND_RSSI0.query, OID_VND_RSSI1.query, OID_VND_OP_MODE.query,
    OID_VND_LAST_TX_RATE.query, OID_VND_RSSI2.query, OID_VND_SNR0.query, OID_VND_SNR1.query,
    OID_VND_BA_TABLE.query, OID_VND_HT_OPTIONS.query, OID_VND_HT_PHY_MODE.query,
    OID_VND_PEER_TABLE.query, OID_VND_WPS_STATUS.query, OID_VND_WPS_PROFILE_TABLE.query,
    OID_VND_WPS_PBC_STARTED.query, OID_VND_CONFIGURATION.query, OID_VND_STA_CONFIG.query,
    OID_VND_AP_IP_ADDRESS.query, OID_VND_WMM_FLAGS.query, OID_VND_DLS_TABLE.query,
    OID_VND_WPS_CHANNEL.query, OID_VND_CCX_TSPEC.query, OID_VND_NIC_READY.query};
const std::vector<uint32_t> kCatalogueSets = {
    OID_802_11_SSID, OID_802_11_DISASSOCIATE, OID_802_11_DESIRED_RATES, OID_DOT11_RTS_THRESHOLD,
    OID_DOT11_FRAGMENTATION_THRESHOLD, OID_DOT11_FLUSH_BSS_LIST, OID_DOT11_POWER_MGMT_REQUEST,
    OID_DOT11_DESIRED_BSSID_LIST, OID_DOT11_DISCONNECT_REQUEST, OID_VND_PHY_MODE.set,
    OID_VND_COUNTRY_REGION.set, OID_VND_TX_POWER.set, OID_VND_REGISTER.set,
    OID_VND_RESET_COUNTERS.set, OID_VND_OP_MODE.set, OID_VND_BA_TABLE.set,
    OID_VND_HT_OPTIONS.set, OID_VND_DELETE_BA.set, OID_VND_HT_PHY_MODE.set,
    OID_VND_WPS_START.set, OID_VND_WPS_ASSOC_IE.set, OID_VND_WPS_PROBE_IE.set,
    OID_VND_WPS_PROFILE_TABLE.set, OID_VND_CONNECT_FLAG.set, OID_VND_CONFIGURATION.set,
    OID_VND_WPS_AUTO_SELECT.set, OID_VND_PREAMBLE.set, OID_VND_STA_CONFIG.set,
    OID_VND_CCX_CONTROL.set, OID_VND_WMM_FLAGS.set, OID_VND_WMM_BYTE_SWITCH.set,
    OID_VND_DLS_ENABLE.set, OID_VND_DLS_TABLE.set, OID_VND_WPS_WIRELESS_MODE.set,
    OID_VND_CCX_TSPEC.set, OID_VND_CCX_DIAG.set};

TEST(SimulatedAdapterCatalogue, AnswersEveryCatalogueOidAndNothingElse) {
  auto sorted = [](std::vector<uint32_t> v) {
    std::sort(v.begin(), v.end());
    return v;
  };
  EXPECT_EQ(sorted(SimulatedAdapter::QueryOids()), sorted(kCatalogueQueries));
  EXPECT_EQ(sorted(SimulatedAdapter::SetOids()), sorted(kCatalogueSets));
  // The mark hides the top bits, so every settable OID needs a marked form of its own.
  std::set<uint32_t> marked;
  for (uint32_t oid : SimulatedAdapter::SetOids()) {
    EXPECT_TRUE(marked.insert(oid | OidSetMask).second) << std::hex << oid;
  }
}

struct QueryRow {
  const char* name;
  uint32_t oid;
  size_t size;
  std::vector<uint8_t> expected;
};

// A fresh WXP4 with three chains and 5 GHz at time 0: counters are still 0, nothing associated.
std::vector<QueryRow> FreshWxp4Answers() {
  DOT11_SUPPORTED_PHY_TYPES phy;
  phy.uNumOfEntries = phy.uTotalNumOfEntries = 5;
  phy.dot11PHYType[0] = dot11_phy_type_dsss;
  phy.dot11PHYType[1] = dot11_phy_type_hrdsss;
  phy.dot11PHYType[2] = dot11_phy_type_erp;
  phy.dot11PHYType[3] = dot11_phy_type_ofdm;
  phy.dot11PHYType[4] = dot11_phy_type_ht;
  NDIS_802_11_CONFIGURATION config;
  config.Length = 32;
  config.BeaconPeriod = 100;
  config.DSConfig = 2437000;  // channel 6
  config.FHConfig.Length = 16;
  const std::vector<uint8_t> mac = {0x02, 0x5A, 0x0F, 0x00, 0x06, 0x01};
  return {
      {"DriverVersion", OID_GEN_DRIVER_VERSION, 2, {0x00, 0x06}},
      {"RcvNoBuffer", OID_GEN_RCV_NO_BUFFER, 4, Le32(0)},
      {"8023Address", OID_802_3_CURRENT_ADDRESS, 6, mac},
      {"Ssid", OID_802_11_SSID, 36, std::vector<uint8_t>(36, 0)},
      {"PhyTypes", OID_DOT11_SUPPORTED_PHY_TYPES, 264, V(EncodeDot11SupportedPhyTypes(phy))},
      {"Dot11Address", OID_DOT11_CURRENT_ADDRESS, 6, mac},
      {"CountryRegion", OID_VND_COUNTRY_REGION.query, 4, {0x01, 0x07, 0, 0}},
      {"EepromVersion", OID_VND_EEPROM_VERSION.query, 4, {1, 2, 0, 0}},
      {"FirmwareVersion", OID_VND_FIRMWARE_VERSION.query, 4, {7, 1, 0, 0}},
      {"TxPower", OID_VND_TX_POWER.query, 4, Le32(100)},
      {"LinkStatus", OID_VND_LINK_STATUS.query, 20, V(EncodeLinkStatus({0, 0, 0, 0, 6}))},
      {"Noise", OID_VND_NOISE.query, 4, Le32(51)},  // -92 dBm + 143
      {"Statistics", OID_VND_DRIVER_STATISTICS.query, 184, std::vector<uint8_t>(184, 0)},
      {"ExtraInfo", OID_VND_EXTRA_INFO.query, 4, Le32(EXTRA_INFO_LINK_DOWN)},
      {"LastRxRate", OID_VND_LAST_RX_RATE.query, 4, Le32(0x4000)},  // OFDM 6 Mbit/s
      {"Rssi0", OID_VND_RSSI0.query, 4, Le32(static_cast<uint32_t>(-55))},
      {"Rssi1", OID_VND_RSSI1.query, 4, Le32(static_cast<uint32_t>(-57))},
      {"OpMode", OID_VND_OP_MODE.query, 4, Le32(0)},
      {"LastTxRate", OID_VND_LAST_TX_RATE.query, 4, Le32(0x4000)},
      {"Rssi2", OID_VND_RSSI2.query, 4, Le32(static_cast<uint32_t>(-59))},
      {"Snr0", OID_VND_SNR0.query, 4, Le32(37)},
      {"Snr1", OID_VND_SNR1.query, 4, Le32(35)},
      {"BaTable", OID_VND_BA_TABLE.query, 3076, std::vector<uint8_t>(3076, 0)},
      {"HtOptions", OID_VND_HT_OPTIONS.query, 8, {32, 32, 1, 0, 1, 0, 3, 1}},
      {"HtPhyMode", OID_VND_HT_PHY_MODE.query, 12, {5, 0, 0, 0, 2, 0, 1, 33, 1, 1, 1, 0}},
      {"PeerTable", OID_VND_PEER_TABLE.query, 324, std::vector<uint8_t>(324, 0)},
      {"WpsStatus", OID_VND_WPS_STATUS.query, 4, Le32(0)},
      {"WpsTable", OID_VND_WPS_PROFILE_TABLE.query, 996, std::vector<uint8_t>(996, 0)},
      {"WpsPbcStarted", OID_VND_WPS_PBC_STARTED.query, 4, Le32(0)},
      {"Configuration", OID_VND_CONFIGURATION.query, 32, V(EncodeNdisConfiguration(config))},
      {"StaConfig", OID_VND_STA_CONFIG.query, 32, V(EncodeStaConfig({1, 0, 0, 1, 5, 1, 0, 100}))},
      {"ApIpAddress", OID_VND_AP_IP_ADDRESS.query, 4, Le32(0)},
      {"WmmFlags", OID_VND_WMM_FLAGS.query, 4, Le32(0)},
      {"DlsTable", OID_VND_DLS_TABLE.query, 48, std::vector<uint8_t>(48, 0)},
      {"WpsChannel", OID_VND_WPS_CHANNEL.query, 4, Le32(0)},
      {"CcxTspec", OID_VND_CCX_TSPEC.query, 156, std::vector<uint8_t>(156, 0)},
      {"NicReady", OID_VND_NIC_READY.query, 4, Le32(1)},
  };
}

TEST_F(SimulatedAdapterTest, EveryQueryAnswersItsRecord) {
  SimulatedAdapter& adapter = make(MakeSpec());
  std::set<uint32_t> covered;
  for (const QueryRow& row : FreshWxp4Answers()) {
    SCOPED_TRACE(row.name);
    covered.insert(row.oid);
    Answer a = Ask(adapter, row.oid, row.size, {}, 0xEE);
    EXPECT_EQ(a.status, kStatusSuccess);
    EXPECT_EQ(a.returned, row.size);
    EXPECT_EQ(a.bytes, row.expected);
  }
  // The register query needs its kind and address; it has tests of its own below.
  covered.insert(OID_VND_REGISTER.query);
  EXPECT_EQ(covered, std::set<uint32_t>(kCatalogueQueries.begin(), kCatalogueQueries.end()));
}

TEST_F(SimulatedAdapterTest, TypedRequestsDecodeTheAnswers) {
  SimulatedAdapter& adapter = make(MakeSpec(WXU4, 2, false));
  DirectRequester r(adapter);
  HtPhyMode mode;
  ASSERT_TRUE(QueryHtPhyMode(r, mode));
  EXPECT_EQ(mode.PhyMode, 9u);  // 802.11n in 2.4 GHz only
  EXPECT_EQ(mode.TransmitNo, 2);
  EXPECT_EQ(mode.MCS, kHtMcsAuto);
  int32_t combined = 0;
  ASSERT_TRUE(QueryCombinedRssi(r, combined));
  EXPECT_EQ(combined, -55);
  DOT11_SUPPORTED_PHY_TYPES phy;
  ASSERT_TRUE(QuerySupportedPhyTypes(r, phy));
  EXPECT_FALSE(ListsPhyType(phy, dot11_phy_type_ofdm));  // no 5 GHz
  EXPECT_TRUE(ListsPhyType(phy, dot11_phy_type_ht));
  uint32_t eepromWord = 0;
  ASSERT_TRUE(QueryRegister(r, REGISTER_KIND_EEPROM, kEepromBandwidthWordAddress, eepromWord));
  EXPECT_EQ(eepromWord, 0x0200u);  // 40 MHz allowed in 2.4 GHz only
  LinkStatus link;
  ASSERT_TRUE(QueryLinkStatus(r, WXU4, link));
  EXPECT_EQ(link.CentralChannel, 6u);
  EXPECT_EQ(link.LinkQuality, 0u);
}

TEST_F(SimulatedAdapterTest, EepromBandwidthWordFollowsTheAdapter) {
  struct Row {
    ChipFamily family;
    bool band5;
    uint32_t word;
  };
  for (Row row : {Row{WXP4, true, 0x0000}, Row{WXP5, false, 0x0200}, Row{WXP3, true, 0x0300},
                  Row{WXU1, false, 0x0300}}) {
    SCOPED_TRACE(::testing::Message() << "family " << row.family << " 5 GHz " << row.band5);
    SimulatedAdapter& adapter = make(MakeSpec(row.family, 1, row.band5));
    Answer a = Ask(adapter, OID_VND_REGISTER.query, 12,
                   V(EncodeRegisterAccess({REGISTER_KIND_EEPROM, 0x36, 0})));
    ASSERT_EQ(a.status, kStatusSuccess);
    RegisterAccess access;
    ASSERT_TRUE(DecodeRegisterAccess(a.bytes, access));
    EXPECT_EQ(access.value, row.word);
  }
}

TEST_F(SimulatedAdapterTest, RegistersKeepWhatIsWrittenWithinEachKindsLimits) {
  SimulatedAdapter& adapter = make(MakeSpec());
  DirectRequester r(adapter);
  struct Row {
    const char* name;
    RegisterAccess access;
    bool accepted;
  };
  const Row rows[] = {
      {"mac 32-bit", {REGISTER_KIND_MAC, 0x1004, 0xDEADBEEF}, true},
      {"bbp 8-bit", {REGISTER_KIND_BBP, 255, 0x7F}, true},
      {"bbp address past 255", {REGISTER_KIND_BBP, 256, 1}, false},
      {"bbp value past 8 bits", {REGISTER_KIND_BBP, 3, 0x100}, false},
      {"rf 8-bit", {REGISTER_KIND_RF, 5, 0xA5}, true},
      {"eeprom word", {REGISTER_KIND_EEPROM, 0x40, 0xBEEF}, true},
      {"eeprom odd address", {REGISTER_KIND_EEPROM, 0x41, 1}, false},
      {"eeprom value past 16 bits", {REGISTER_KIND_EEPROM, 0x42, 0x10000}, false},
      {"unknown kind", {4, 0, 0}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SetRegister(r, row.access), row.accepted);
    uint32_t value = 0;
    bool read = QueryRegister(r, row.access.kind, row.access.address, value);
    if (row.accepted) {
      EXPECT_TRUE(read);
      EXPECT_EQ(value, row.access.value);
    } else if (read) {
      EXPECT_NE(value, row.access.value);
    }
  }
  uint32_t blank = 0;
  ASSERT_TRUE(QueryRegister(r, REGISTER_KIND_EEPROM, 0x100, blank));
  EXPECT_EQ(blank, 0xFFFFu);  // unprogrammed
}

TEST_F(SimulatedAdapterTest, MarkedSetsAreAppliedToTheRestoredOid) {
  SimulatedAdapter& adapter = make(MakeSpec());
  // Vendor value already carrying the mark.
  EXPECT_EQ(Ask(adapter, 0xFF8C0007, 4, Le32(50)).status, kStatusSuccess);
  EXPECT_EQ(Ask(adapter, OID_VND_TX_POWER.query, 4).bytes, Le32(50));
  // Published OIDs lose their top byte to the mark: 0x0D010102 arrives as 0xFF810102 and
  // 0x0E01017E as 0xFF81017E.
  std::vector<uint8_t> ssid = V(EncodeNdisSsid(MakeNdisSsid("HomeNet")));
  Answer set = Ask(adapter, 0xFF810102, 36, ssid);
  EXPECT_EQ(set.status, kStatusSuccess);
  EXPECT_EQ(set.returned, 36u);
  EXPECT_EQ(adapter.lastSet(OID_802_11_SSID), ssid);
  std::vector<uint8_t> bssid = V(EncodeDot11BssidList(MakeDesiredBssidList({2, 1, 2, 3, 4, 5})));
  EXPECT_EQ(Ask(adapter, 0xFF81017E, 20, bssid).status, kStatusSuccess);
  EXPECT_EQ(adapter.lastSet(OID_DOT11_DESIRED_BSSID_LIST), bssid);
  // 0xFF710111 goes out as 0xFFF10111.
  StaConfig config{0, 1, 2, 0, 4, 1, 0, 100};
  EXPECT_EQ(Ask(adapter, 0xFFF10111, 32, V(EncodeStaConfig(config))).status, kStatusSuccess);
  EXPECT_EQ(Ask(adapter, OID_VND_STA_CONFIG.query, 32).bytes, V(EncodeStaConfig(config)));

  // The unmarked OID is a query: the same bytes set nothing.
  adapter.start(DefaultAdapterParameters(adapter.spec()));
  EXPECT_EQ(Ask(adapter, OID_802_11_SSID, 36, ssid).bytes, std::vector<uint8_t>(36, 0));
  EXPECT_FALSE(adapter.lastSet(OID_802_11_SSID).has_value());
  // Only a complete mark makes a set: 0x7F8C0007 is no OID of the driver.
  EXPECT_EQ(Ask(adapter, 0x7F8C0007, 4, Le32(25)).status, kStatusNotSupported);
  EXPECT_EQ(Ask(adapter, OID_VND_TX_POWER.query, 4).bytes, Le32(100));
}

TEST_F(SimulatedAdapterTest, UnknownOidsAndMissingFeaturesFail) {
  SimulatedAdapter& ht = make(MakeSpec());
  struct Row {
    const char* name;
    uint32_t oid;
  };
  for (Row row : {Row{"unknown query", 0xFF0C0099}, Row{"unknown set", 0xFF8C0099},
                  Row{"set-only OID queried", 0xFF0C0002},
                  Row{"query-only OID set", OID_VND_NIC_READY.query | OidSetMask},
                  // The WPS table is taken under 0xFF8C0049 only.
                  Row{"WPS table under its query value marked", 0xFF8C002E},
                  Row{"published OID the driver lacks", 0x0D010101}}) {
    SCOPED_TRACE(row.name);
    Answer a = Ask(ht, row.oid, 996, {}, 0xEE);
    EXPECT_EQ(a.status, kStatusNotSupported);
    EXPECT_EQ(a.returned, 0u);
    EXPECT_EQ(a.bytes, std::vector<uint8_t>(996, 0xEE));
  }
  std::vector<uint8_t> buffer(4);
  uint32_t returned = 0;
  EXPECT_EQ(ht.handleRequest(0x00170003, OID_VND_RSSI0.query, buffer, &returned),
            kStatusInvalidFunction);

  // An older family's driver has no 802.11n requests and no firmware version before family 4.
  SimulatedAdapter& legacy = make(MakeSpec(WXP1, 1, false));
  for (uint32_t oid : {OID_VND_HT_PHY_MODE.query, OID_VND_HT_OPTIONS.query, OID_VND_BA_TABLE.query,
                       OID_VND_PEER_TABLE.query, OID_VND_SNR0.query, OID_VND_FIRMWARE_VERSION.query,
                       OID_VND_HT_PHY_MODE.set, OID_VND_DELETE_BA.set}) {
    SCOPED_TRACE(::testing::Message() << std::hex << oid);
    EXPECT_EQ(Ask(legacy, oid, 3076).status, kStatusNotSupported);
  }
  // Its link status record is the 16-byte form and its rates are legacy ones.
  Answer link = Ask(legacy, OID_VND_LINK_STATUS.query, 20, {}, 0xEE);
  EXPECT_EQ(link.returned, 16u);
  EXPECT_EQ(link.bytes[16], 0xEE);
  EXPECT_EQ(Ask(legacy, OID_VND_LAST_TX_RATE.query, 4).bytes, Le32(0));
}

TEST_F(SimulatedAdapterTest, ShortBuffersFailWithoutTouchingTheBuffer) {
  SimulatedAdapter& adapter = make(MakeSpec());
  struct Row {
    const char* name;
    uint32_t oid;
    size_t size;
  };
  for (Row row : {Row{"4-byte reading in 3", OID_VND_RSSI0.query, 3},
                  Row{"empty buffer", OID_VND_NIC_READY.query, 0},
                  Row{"block-ack table one short", OID_VND_BA_TABLE.query, 3075},
                  Row{"register without its value", OID_VND_REGISTER.query, 8},
                  Row{"station config set one short", OID_VND_STA_CONFIG.set | OidSetMask, 31},
                  Row{"SSID set one short", OID_802_11_SSID | OidSetMask, 35}}) {
    SCOPED_TRACE(row.name);
    Answer a = Ask(adapter, row.oid, row.size, {}, 0xEE);
    EXPECT_EQ(a.status, kStatusInsufficientBuffer);
    EXPECT_EQ(a.returned, 0u);
    EXPECT_EQ(a.bytes, std::vector<uint8_t>(row.size, 0xEE));
  }
  EXPECT_EQ(Ask(adapter, OID_VND_STA_CONFIG.query, 32).bytes[0], 1);  // unchanged by the short set
  // A longer buffer gets the record at its start and the record's size.
  Answer longer = Ask(adapter, OID_VND_RSSI0.query, 8, {}, 0xEE);
  EXPECT_EQ(longer.status, kStatusSuccess);
  EXPECT_EQ(longer.returned, 4u);
  EXPECT_EQ(longer.bytes, (std::vector<uint8_t>{0xC9, 0xFF, 0xFF, 0xFF, 0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST_F(SimulatedAdapterTest, ReceiveChainsDecideWhichReadingsExist) {
  struct Row {
    int chains;
    bool rssi1;
    bool rssi2;
    uint32_t snr1;
  };
  for (Row row : {Row{1, false, false, kSnrNoReading}, Row{2, true, false, 35},
                  Row{3, true, true, 35}}) {
    SCOPED_TRACE(::testing::Message() << row.chains << " chains");
    SimulatedAdapter& adapter = make(MakeSpec(WXP4, row.chains));
    DirectRequester r(adapter);
    int32_t dBm = 0;
    EXPECT_TRUE(QueryRssi0(r, dBm));
    EXPECT_EQ(QueryRssi1(r, dBm), row.rssi1);
    EXPECT_EQ(QueryRssi2(r, dBm), row.rssi2);
    uint32_t snr = 0;
    EXPECT_TRUE(QuerySnr1(r, snr));
    EXPECT_EQ(snr, row.snr1);
    ASSERT_TRUE(QueryCombinedRssi(r, dBm));  // a missing chain is a normal answer
    EXPECT_EQ(dBm, -55);
  }
}

TEST_F(SimulatedAdapterTest, SignalChangeMovesEveryChainAndKeepsSnrClearOfNoReading) {
  SimulatedAdapter& adapter = make(MakeSpec());
  DirectRequester r(adapter);
  struct Row {
    int32_t signal;
    uint32_t snr0;
  };
  for (Row row : {Row{-70, 22}, Row{-48, 40}, Row{-30, 40}, Row{-100, 0}}) {
    SCOPED_TRACE(row.signal);
    adapter.setSignal(row.signal);
    int32_t rssi0 = 0;
    int32_t rssi2 = 0;
    uint32_t snr0 = 0;
    ASSERT_TRUE(QueryRssi0(r, rssi0) && QueryRssi2(r, rssi2) && QuerySnr0(r, snr0));
    EXPECT_EQ(rssi0, row.signal);
    EXPECT_EQ(rssi2, row.signal - 2 * kChainStepDb);
    EXPECT_EQ(snr0, row.snr0);
  }
}

TEST_F(SimulatedAdapterTest, NicReadyOnlyAfterTheStartUpDelay) {
  AdapterSpec spec = MakeSpec();
  spec.startupDelayMs = 1500;
  SimulatedAdapter& adapter = make(spec);
  DirectRequester r(adapter);
  auto ready = [&] {
    uint32_t value = 99;
    EXPECT_TRUE(QueryNicReady(r, value));
    return value;
  };
  EXPECT_EQ(ready(), 0u);
  clock_.advance(1499);
  EXPECT_EQ(ready(), 0u);
  clock_.advance(1);
  EXPECT_EQ(ready(), 1u);
  // A restart (re-plug) initialises again.
  adapter.start(DefaultAdapterParameters(spec));
  EXPECT_EQ(ready(), 0u);
  clock_.advance(1500);
  EXPECT_EQ(ready(), 1u);
}

TEST_F(SimulatedAdapterTest, BusyFailsEverySetButNoQueryUntilItEnds) {
  SimulatedAdapter& adapter = make(MakeSpec());
  DirectRequester r(adapter);
  adapter.setBusyFor(1000);
  EXPECT_TRUE(adapter.busy());
  EXPECT_EQ(Ask(adapter, OID_VND_OP_MODE.set | OidSetMask, 4, Le32(1)).status, kStatusBusy);
  EXPECT_FALSE(SetDisassociate(r));
  EXPECT_FALSE(SetResetCounters(r));
  uint32_t mode = 99;
  EXPECT_TRUE(QueryOpMode(r, mode));
  EXPECT_EQ(mode, 0u);
  clock_.advance(999);
  EXPECT_FALSE(SetOpMode(r, 1));
  clock_.advance(1);
  EXPECT_FALSE(adapter.busy());
  EXPECT_TRUE(SetOpMode(r, 1));
  EXPECT_TRUE(QueryOpMode(r, mode));
  EXPECT_EQ(mode, 1u);
  adapter.setBusyFor(5000);
  adapter.setBusyFor(0);  // ends the spell
  EXPECT_TRUE(SetOpMode(r, 0));
}

TEST_F(SimulatedAdapterTest, CountersMoveWithTheClockAndResetOnRequest) {
  SimulatedAdapter& adapter = make(MakeSpec());
  DirectRequester r(adapter);
  clock_.advance(10000);
  DriverStatistics stats;
  ASSERT_TRUE(QueryDriverStatistics(r, stats));
  EXPECT_EQ(stats.Counter(STAT_TX_SUCCESS), 10u * kTxFramesPerSecond);
  EXPECT_EQ(stats.Counter(STAT_RX_SUCCESS), 10u * kRxFramesPerSecond);
  EXPECT_GT(stats.Counter(STAT_TX_RETRIED), 0u);
  EXPECT_LT(stats.Counter(STAT_TX_RETRIED), stats.Counter(STAT_TX_SUCCESS));
  LinkStatus link;
  ASSERT_TRUE(QueryLinkStatus(r, WXP4, link));
  EXPECT_EQ(link.TxByteCount, 10u * kTxBytesPerSecond);
  EXPECT_EQ(link.RxByteCount, 10u * kRxBytesPerSecond);

  ASSERT_TRUE(SetResetCounters(r));
  ASSERT_TRUE(QueryDriverStatistics(r, stats));
  EXPECT_EQ(stats, DriverStatistics{});
  clock_.advance(2000);
  ASSERT_TRUE(QueryDriverStatistics(r, stats));
  EXPECT_EQ(stats.Counter(STAT_RX_SUCCESS), 2u * kRxFramesPerSecond);
  // The link's byte counters are not statistics: they keep running.
  ASSERT_TRUE(QueryLinkStatus(r, WXP4, link));
  EXPECT_EQ(link.RxByteCount, 12u * kRxBytesPerSecond);
}

TEST_F(SimulatedAdapterTest, StartTakesTheRegistryParameters) {
  AdapterSpec spec = MakeSpec();
  AdapterParameters p = DefaultAdapterParameters(spec);
  p.wirelessMode = 9;
  p.countryRegion = 5;
  p.countryRegionABand = 2;
  p.channel = 11;
  p.txBurst = 0;
  p.bgProtection = 2;
  p.radioOff = true;
  p.opMode = 1;
  p.apsdCapable = true;
  p.apsdAc = {true, false, false, true};
  HtPhySettings settings{9, 1, 1, 7, 0, 0, 1};
  p.transmitSetting = EncodeTransmitSetting(settings, 2);
  HtOptions options{16, 8, HT_AGGREGATION_OFF, 3, 0, 0, HT_SMPS_CODE_STATIC, 0};
  p.baCapability = EncodeBaCapability(options);
  SimulatedAdapter& adapter = make(spec);
  adapter.start(p);
  DirectRequester r(adapter);

  HtPhyMode mode;
  ASSERT_TRUE(QueryHtPhyMode(r, mode));
  EXPECT_EQ(mode, (HtPhyMode{9, 1, 1, 2, 7, 0, 0, 1, 0}));
  HtOptions got;
  ASSERT_TRUE(QueryHtOptions(r, got));
  EXPECT_EQ(got, options);
  CountryRegion region;
  ASSERT_TRUE(QueryCountryRegion(r, region));
  EXPECT_EQ(region, (CountryRegion{5, false, 2, false}));
  NDIS_802_11_CONFIGURATION config;
  ASSERT_TRUE(QueryConfiguration(r, config));
  EXPECT_EQ(config.DSConfig, 2462000u);
  StaConfig sta;
  ASSERT_TRUE(QueryStaConfig(r, sta));
  EXPECT_EQ(sta.TxBurst, 0u);
  EXPECT_EQ(sta.BgProtection, 2u);
  EXPECT_EQ(sta.AdhocRateMode, 9u);
  uint32_t value = 0;
  ASSERT_TRUE(QueryExtraInfo(r, value));
  EXPECT_EQ(value, EXTRA_INFO_SW_RADIO_OFF);
  ASSERT_TRUE(QueryOpMode(r, value));
  EXPECT_EQ(value, 1u);
  ASSERT_TRUE(QueryWmmFlags(r, value));
  EXPECT_EQ(value, 0x13u);  // power save, AC_BE, AC_VO
}

TEST_F(SimulatedAdapterTest, ReadModifyWriteKeepsTheDriversFields) {
  SimulatedAdapter& adapter = make(MakeSpec());
  DirectRequester r(adapter);
  HtPhyMode sent;
  ASSERT_TRUE(UpdateHtPhyMode(r, HtPhySettings{5, 2, 1, 15, 1, 0, 0}, &sent));
  HtPhyMode now;
  ASSERT_TRUE(QueryHtPhyMode(r, now));
  EXPECT_EQ(now, sent);
  EXPECT_EQ(now.Byte6, 1);  // the driver's own byte came back
  StaConfig sta;
  StaConfigChanges changes;
  changes.BgProtection = 1;
  ASSERT_EQ(UpdateStaConfig(r, changes, &sta), SetResult::Sent);
  StaConfig stored;
  ASSERT_TRUE(QueryStaConfig(r, stored));
  EXPECT_EQ(stored.BgProtection, 1u);
  EXPECT_EQ(stored.Offset20, 1u);
  EXPECT_EQ(stored.Offset28, 100u);
  ASSERT_EQ(UpdateConfigurationChannel(r, 5180000), SetResult::Sent);
  LinkStatus link;
  ASSERT_TRUE(QueryLinkStatus(r, WXP4, link));
  EXPECT_EQ(link.CentralChannel, 36u);
  // A frequency that is no channel is refused.
  EXPECT_EQ(UpdateConfigurationChannel(r, 2400000), SetResult::Failed);
}

TEST_F(SimulatedAdapterTest, BlockAckSessionsAreAddedAndTornDown) {
  SimulatedAdapter& adapter = make(MakeSpec());
  DirectRequester r(adapter);
  const MacAddress peerA{0x02, 0, 0, 0, 0, 0xA};
  const MacAddress peerB{0x02, 0, 0, 0, 0, 0xB};
  ASSERT_TRUE(SetBaTable(r, {BLOCK_ACK_ORIGINATOR, peerA, 0, 32, 0}));
  ASSERT_TRUE(SetBaTable(r, {BLOCK_ACK_ORIGINATOR, peerA, 5, 16, 0}));
  ASSERT_TRUE(SetBaTable(r, {BLOCK_ACK_ORIGINATOR, peerB, 1, 8, 0}));
  ASSERT_TRUE(SetBaTable(r, {BLOCK_ACK_RECIPIENT, peerB, 7, 64, 0}));
  for (BlockAckRequest bad : {BlockAckRequest{BLOCK_ACK_ORIGINATOR, peerA, 8, 32, 0},
                              BlockAckRequest{2, peerA, 0, 32, 0},
                              BlockAckRequest{BLOCK_ACK_ORIGINATOR, {0x01, 0, 0x5E, 0, 0, 1}, 0, 32, 0},
                              BlockAckRequest{BLOCK_ACK_ORIGINATOR, peerA, 0, 0, 0}}) {
    EXPECT_FALSE(SetBaTable(r, bad));
  }
  BlockAckTable table;
  uint32_t returned = 0;
  ASSERT_TRUE(QueryBaTable(r, table, returned));
  EXPECT_EQ(returned, kBlockAckTableSize);
  EXPECT_EQ(table.OriginatorCount, 2);
  EXPECT_EQ(table.RecipientCount, 1);
  EXPECT_EQ(table.Originator[0].Peer, peerA);
  EXPECT_EQ(table.Originator[0].TidBitmap, 0x21);
  EXPECT_EQ(table.Originator[0].TidValue[5], 16);
  EXPECT_EQ(table.Recipient[0].TidBitmap, 0x80);

  ASSERT_TRUE(SetDeleteBa(r, {BLOCK_ACK_ORIGINATOR, peerA, 0, 0, 0}));
  ASSERT_TRUE(QueryBaTable(r, table, returned));
  EXPECT_EQ(table.Originator[0].TidBitmap, 0x20);
  ASSERT_TRUE(SetDeleteBa(r, {BLOCK_ACK_ORIGINATOR, peerA, 0, 0, 1}));  // all of the peer's
  ASSERT_TRUE(QueryBaTable(r, table, returned));
  EXPECT_EQ(table.OriginatorCount, 1);
  EXPECT_EQ(table.Originator[0].Peer, peerB);  // moved up
  EXPECT_EQ(table.Originator[1], BlockAckEntry{});
}

TEST_F(SimulatedAdapterTest, DirectLinksNeedDirectLinkOn) {
  SimulatedAdapter& adapter = make(MakeSpec());
  DirectRequester r(adapter);
  const MacAddress peer{0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
  EXPECT_FALSE(SetDlsTable(r, {60, 0, peer, 0, 1}));
  ASSERT_TRUE(SetDlsEnable(r, 1));
  ASSERT_TRUE(SetDlsTable(r, {60, 0, peer, 0, 1}));
  EXPECT_FALSE(SetDlsTable(r, {60, 0, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0, 1}));
  DlsTable table;
  ASSERT_TRUE(QueryDlsTable(r, table));
  EXPECT_EQ(table.Entries[0], (DlsEntry{60, 0, peer, DLS_LINK_ESTABLISHED, 1}));
  ASSERT_TRUE(SetDlsTable(r, {60, 0, peer, 0, 0}));  // tear down
  ASSERT_TRUE(QueryDlsTable(r, table));
  EXPECT_EQ(table, DlsTable{});
}

TEST_F(SimulatedAdapterTest, AgreementsAndDirectLinksFollowTheLinkAndTheHtOptions) {
  SimulatedAdapter& adapter = make(MakeSpec());
  DirectRequester r(adapter);
  Association link;
  link.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, 0x01};
  link.ht = true;
  adapter.setAssociation(link);
  BlockAckTable table;
  uint32_t returned = 0;
  ASSERT_TRUE(QueryBaTable(r, table, returned));
  // Automatic block-ack: one agreement each way for TID 0 with the access point.
  ASSERT_EQ(table.OriginatorCount, 1);
  ASSERT_EQ(table.RecipientCount, 1);
  EXPECT_EQ(table.Originator[0].Peer, link.bssid);
  EXPECT_EQ(table.Originator[0].TidBitmap, 0x01);
  EXPECT_EQ(table.Originator[0].TidValue[0], 32);

  const MacAddress station{0x02, 0x5A, 0x0F, 0x20, 0x00, 0x02};
  const MacAddress other{0x02, 0x5A, 0x0F, 0x20, 0x00, 0x03};
  ASSERT_TRUE(SetDlsEnable(r, 1));
  ASSERT_TRUE(SetDlsTable(r, {60, 0, station, 0, 1}));
  ASSERT_TRUE(SetBaTable(r, {BLOCK_ACK_RECIPIENT, other, 3, 16, 0}));
  PeerTable peers;
  ASSERT_TRUE(QueryPeerTable(r, peers));
  ASSERT_EQ(peers.Count, 3u);
  EXPECT_EQ(peers.Entries[0].Peer, link.bssid);
  EXPECT_EQ(peers.Entries[1].Peer, station);
  EXPECT_EQ(peers.Entries[2].Peer, other);
  // Nobody makes an agreement or a direct link with himself.
  EXPECT_FALSE(SetBaTable(r, {BLOCK_ACK_ORIGINATOR, MakeSpec().mac, 1, 16, 0}));
  EXPECT_FALSE(SetDlsTable(r, {60, 0, MakeSpec().mac, 0, 1}));

  // The same link again (a new signal) keeps everything; a new one ends it all.
  link.signalDbm = -60;
  adapter.setAssociation(link);
  ASSERT_TRUE(QueryBaTable(r, table, returned));
  EXPECT_EQ(table.RecipientCount, 2);
  adapter.setAssociation(std::nullopt);
  ASSERT_TRUE(QueryBaTable(r, table, returned));
  EXPECT_EQ(table, BlockAckTable{});
  DlsTable links;
  ASSERT_TRUE(QueryDlsTable(r, links));
  EXPECT_EQ(links, DlsTable{});
  ASSERT_TRUE(QueryPeerTable(r, peers));
  EXPECT_EQ(peers.Count, 0u);

  // Aggregation off: the table empties and stays empty, also for a new 802.11n link.
  adapter.setAssociation(link);
  ASSERT_TRUE(SetHtOptions(r, HtOptions{32, 32, HT_AGGREGATION_OFF, 0, 1, 0, HT_SMPS_CODE_ENABLE, 1}));
  ASSERT_TRUE(QueryBaTable(r, table, returned));
  EXPECT_EQ(table, BlockAckTable{});
  EXPECT_FALSE(SetBaTable(r, {BLOCK_ACK_ORIGINATOR, link.bssid, 0, 32, 0}));
  adapter.setAssociation(std::nullopt);
  adapter.setAssociation(link);
  ASSERT_TRUE(QueryBaTable(r, table, returned));
  EXPECT_EQ(table.OriginatorCount, 0);
  // Manual block-ack: agreements only on request.
  ASSERT_TRUE(SetHtOptions(r, HtOptions{32, 32, HT_AGGREGATION_ON, 0, 1, 0, HT_SMPS_CODE_ENABLE, 0}));
  adapter.setAssociation(std::nullopt);
  adapter.setAssociation(link);
  ASSERT_TRUE(QueryBaTable(r, table, returned));
  EXPECT_EQ(table.OriginatorCount, 0);
  EXPECT_TRUE(SetBaTable(r, {BLOCK_ACK_ORIGINATOR, link.bssid, 0, 32, 0}));
}

TEST_F(SimulatedAdapterTest, SettableRecordsReadBackAsSet) {
  SimulatedAdapter& adapter = make(MakeSpec());
  DirectRequester r(adapter);
  WpsCredentialTable wps;
  wps.Count = 1;
  wps.Credentials[0].SsidLength = 4;
  wps.Credentials[0].Ssid[0] = 'H';
  ASSERT_TRUE(SetWpsProfileTable(r, wps));
  WpsCredentialTable back;
  ASSERT_TRUE(QueryWpsProfileTable(r, back));
  EXPECT_EQ(back, wps);
  CcxTspec tspec;
  tspec.Action = TSPEC_ADDTS_DIRECT;
  tspec.MeanDataRate = 64000;
  ASSERT_TRUE(SetCcxTspec(r, tspec));
  CcxTspec tspecBack;
  ASSERT_TRUE(QueryCcxTspec(r, tspecBack));
  EXPECT_EQ(tspecBack, tspec);
  CountryRegion region;
  ASSERT_EQ(SetCountryRegion(r, 5, 1, true, true), SetResult::Sent);
  ASSERT_TRUE(QueryCountryRegion(r, region));
  EXPECT_EQ(region, (CountryRegion{5, false, 1, false}));
  ASSERT_TRUE(SetWmmFlags(r, 0x1F));
  uint32_t flags = 0;
  ASSERT_TRUE(QueryWmmFlags(r, flags));
  EXPECT_EQ(flags, 0x1Fu);
  EXPECT_FALSE(SetPhyMode(r, 10));
  ASSERT_TRUE(SetPhyMode(r, 8));
  HtPhyMode mode;
  ASSERT_TRUE(QueryHtPhyMode(r, mode));
  EXPECT_EQ(mode.PhyMode, 8u);
  // Sets the driver only takes note of are remembered as sent.
  ASSERT_TRUE(SetCcxControl(r, 1, 0x1234));
  EXPECT_EQ(adapter.lastSet(OID_VND_CCX_CONTROL.set), Le32(0x1234));
  ASSERT_TRUE(SetFlushBssList(r));
  EXPECT_EQ(adapter.lastSet(OID_DOT11_FLUSH_BSS_LIST), std::vector<uint8_t>{});
}

}  // namespace
}  // namespace ov::sim
