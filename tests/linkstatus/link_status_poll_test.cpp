// One poll of the link-status panel against a scripted driver and wireless service: the connected
// and disconnected branches, the bars, the rates and the throughput samples.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "driver/oid/oid_constants.h"
#include "lang/language_table.h"
#include "tests/linkstatus/fake_link_wifi.h"
#include "views/link_status_poll.h"

namespace ov::link_status {
namespace {

class ScriptedDriver final : public OidRequester {
 public:
  std::map<uint32_t, std::vector<uint8_t>> answers;
  int sets = 0;
  void SetU32(uint32_t oid, uint32_t value) {
    std::vector<uint8_t> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    answers[oid] = bytes;
  }
  void SetBytes(uint32_t oid, std::vector<uint8_t> bytes) { answers[oid] = std::move(bytes); }
  void LinkStatusRecord(uint32_t txRate, uint32_t quality, uint32_t txBytes, uint32_t rxBytes,
                        uint32_t central = 0) {
    std::vector<uint8_t> bytes(20);
    const uint32_t words[5] = {txRate, quality, txBytes, rxBytes, central};
    std::memcpy(bytes.data(), words, 20);
    answers[OID_VND_LINK_STATUS.query] = bytes;
  }
  bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* returned) override {
    auto it = answers.find(oid);
    if (it == answers.end()) return false;
    const size_t n = std::min<size_t>(size, it->second.size());
    std::memcpy(buffer, it->second.data(), n);
    if (returned) *returned = static_cast<uint32_t>(n);
    return true;
  }
  bool SetOid(uint32_t, uint8_t*, uint32_t, uint32_t*, int) override {
    ++sets;
    return true;
  }
};

class LinkStatusPollTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadLanguageTable();
    driver.SetBytes(OID_802_3_CURRENT_ADDRESS, {0x02, 0x5A, 0x0F, 0x00, 0x06, 0x01});
    driver.SetU32(OID_VND_EXTRA_INFO.query, 0);
    driver.SetU32(OID_VND_TX_POWER.query, 100);
    driver.SetU32(OID_VND_RSSI0.query, static_cast<uint32_t>(-50));
    driver.SetU32(OID_VND_RSSI1.query, static_cast<uint32_t>(-60));
    driver.SetU32(OID_VND_RSSI2.query, static_cast<uint32_t>(-70));
    driver.SetU32(OID_VND_NOISE.query, 50);
    driver.LinkStatusRecord(108, 75, 1000, 2000);
    poller.Initialise();
  }
  PollInputs Legacy() { return PollInputs{4, false, true, false, false}; }

  ScriptedDriver driver;
  test::FakeLinkWifi wifi;
  MacAddress lookedUp{};
  LinkStatusPoller poller{driver, wifi, [this](const MacAddress& mac) {
                            lookedUp = mac;
                            return std::optional<AdapterAddresses>(
                                AdapterAddresses{"192.0.2.10", "255.255.255.0", "192.0.2.1"});
                          }};
};

TEST_F(LinkStatusPollTest, ConnectedBranchFillsEveryField) {
  driver.SetBytes(OID_VND_AP_IP_ADDRESS.query, {192, 0, 2, 1});
  driver.SetU32(OID_VND_LAST_RX_RATE.query, 11);
  const LinkStatusView v = poller.Poll(Legacy());
  EXPECT_TRUE(v.connected);
  EXPECT_EQ(v.status, "Orvane-WPA2-AES <--> 02-5A-0F-10-00-05 [192.0.2.1]");
  EXPECT_EQ(v.extraInfo, "Link is Up [TxPower:100%]");
  EXPECT_EQ(v.channel, "6 <--> 2437 MHz");
  EXPECT_EQ(v.authentication, "WPA2-PSK");
  EXPECT_EQ(v.encryption, "AES");
  EXPECT_EQ(v.networkType, "Infrastructure");
  EXPECT_EQ(v.ip, "192.0.2.10");
  EXPECT_EQ(v.gateway, "192.0.2.1");
  EXPECT_EQ(lookedUp, (MacAddress{0x02, 0x5A, 0x0F, 0x00, 0x06, 0x01})) << "by the adapter's MAC";
  EXPECT_EQ(v.txRate, "54.0 Mbps");
  EXPECT_EQ(v.rxRate, "54.0 Mbps");
  EXPECT_EQ(v.bars[kBarQuality].position, 100) << "75 x 1.2 + 10";
  EXPECT_EQ(v.bars[kBarSignal1].position, 100);
  EXPECT_EQ(v.bars[kBarSignal1].caption, IDS_LINK_STRENGTH);
  EXPECT_FALSE(v.bars[kBarSignal1].textMode);
  EXPECT_EQ(v.bars[kBarNoise].position, 23) << "50 - 143 = -93 dBm";
  EXPECT_EQ(v.txThroughput, "") << "the first sample only stores the counters";
}

TEST_F(LinkStatusPollTest, ThroughputFromTheCountersOverTwoSeconds) {
  poller.Poll(Legacy());
  const struct {
    const char* name;
    uint32_t tx, rx;
    const char* txText;
    const char* rxText;
  } polls[] = {
      {"125 kB and 250 kB", 1000 + 125000, 2000 + 250000, "500.000 Kbps", "1.000 Mbps"},
      {"a counter that went back", 500, 2000 + 250000, "0.000 Kbps", "0.000 Kbps"},
  };
  for (const auto& p : polls) {
    SCOPED_TRACE(p.name);
    driver.LinkStatusRecord(108, 75, p.tx, p.rx);
    const LinkStatusView v = poller.Poll(Legacy());
    EXPECT_EQ(v.txThroughput, p.txText);
    EXPECT_EQ(v.rxThroughput, p.rxText);
  }
  EXPECT_DOUBLE_EQ(poller.RxHistory().Maximum(), 1.0);
  EXPECT_EQ(ThroughputText(poller.RxHistory().Maximum()), "1.000 Mbps");
}

TEST_F(LinkStatusPollTest, SignalBarsInBothModesAndWithoutAReading) {
  driver.SetU32(OID_VND_RSSI2.query, static_cast<uint32_t>(kNoRssiReading));
  PollInputs dbm = Legacy();
  dbm.showDbm = true;
  LinkStatusView v = poller.Poll(dbm);
  EXPECT_EQ(v.bars[kBarSignal2].caption, IDS_LINK_STRENGTH2_DBM);
  EXPECT_TRUE(v.bars[kBarSignal2].textMode);
  EXPECT_EQ(v.bars[kBarSignal2].dBm, -60);
  EXPECT_EQ(v.bars[kBarSignal2].position, 76);
  EXPECT_EQ(v.bars[kBarSignal3].caption, IDS_STRENGTH3) << "-200 is no reading";
  EXPECT_EQ(v.bars[kBarSignal3].position, 0);
  EXPECT_EQ(v.bars[kBarNoise].caption, IDS_NOISELEVEL_DBM);
  EXPECT_EQ(v.bars[kBarNoise].dBm, -93);

  // Signal 1 is smoothed with the previous reading: (24 + 100) / 2.
  driver.SetU32(OID_VND_RSSI0.query, static_cast<uint32_t>(-80));
  v = poller.Poll(Legacy());
  EXPECT_EQ(v.bars[kBarSignal1].position, 62);
  EXPECT_EQ(v.bars[kBarSignal1].colour, kYellow);
}

TEST_F(LinkStatusPollTest, OneChainAdapterHasOnlyTheFirstSignalBar) {
  driver.answers.erase(OID_VND_RSSI1.query);
  const ChainLayout layout = poller.OnShow();
  EXPECT_FALSE(layout.signal2);
  EXPECT_FALSE(layout.signal3);
  driver.SetU32(OID_VND_RSSI1.query, static_cast<uint32_t>(-60));
  driver.answers.erase(OID_VND_RSSI2.query);
  EXPECT_TRUE(poller.OnShow().signal2);
  EXPECT_FALSE(poller.OnShow().signal3);
}

TEST_F(LinkStatusPollTest, HtRatesAndTheHtGroup) {
  // Families 6-10 read the rates from the transmit settings; MCS 32 at 20 MHz has no rate.
  const uint32_t mcs32At20 = 2u << 14 | 32;
  const uint32_t mcs15At40Short = 2u << 14 | 1u << 8 | 1u << 7 | 15;
  driver.SetU32(OID_VND_LAST_TX_RATE.query, mcs32At20);
  driver.SetU32(OID_VND_LAST_RX_RATE.query, mcs15At40Short);
  driver.SetU32(OID_VND_SNR0.query, 30);
  driver.SetU32(OID_VND_SNR1.query, kNoSnrReading);
  poller.OnShow();
  const PollInputs ht{6, true, true, false, false};
  LinkStatusView v = poller.Poll(ht);
  EXPECT_EQ(v.txRate, "0.0 Mbps");
  EXPECT_EQ(v.rxRate, "300.0 Mbps");
  EXPECT_EQ(v.ht.bw, "20");
  EXPECT_EQ(v.ht.mcs, "32");
  EXPECT_EQ(v.ht.snr0, "30");
  EXPECT_EQ(v.ht.snr1, "n/a");

  // A legacy frame puts the group to n/a.
  driver.SetU32(OID_VND_LAST_TX_RATE.query, 1u << 14 | 7);
  v = poller.Poll(ht);
  EXPECT_EQ(v.ht.bw, "n/a");
  EXPECT_EQ(v.ht.mcs, "n/a");
  EXPECT_EQ(v.txRate, "54.0 Mbps");
}

TEST_F(LinkStatusPollTest, DisconnectedBranchTexts) {
  const struct {
    const char* name;
    std::optional<uint32_t> extra;
    std::optional<bool> connected;
    bool radioOn;
    bool serviceAvailable;
    LanguageKey status;
    const char* suffix;
  } rows[] = {
      {"hardware radio off", 2u, true, true, true, IDS_RADIOOFF, ""},
      {"software radio off", 0u, false, false, true, IDS_RADIOOFF, ""},
      {"disconnected", 1u, false, true, true, IDS_DISCONNECTED, ""},
      {"service does not answer", 0u, std::nullopt, true, true, IDS_DRIVER_NOTOK, ""},
      {"service not running", 0u, std::nullopt, true, false, IDS_DRIVER_NOTOK,
       "AutoConfig service is disable"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.extra) driver.SetU32(OID_VND_EXTRA_INFO.query, *row.extra);
    wifi.connected = row.connected;
    wifi.available = row.serviceAvailable;
    PollInputs in = Legacy();
    in.radioOn = row.radioOn;
    const LinkStatusView v = poller.Poll(in);
    EXPECT_FALSE(v.connected);
    EXPECT_EQ(v.statusKey, row.status);
    EXPECT_EQ(v.statusSuffix, row.suffix);
    EXPECT_EQ(v.extraInfo, "");
    EXPECT_EQ(v.channel, "");
    for (const BarView& bar : v.bars) EXPECT_EQ(bar.position, 0);
    EXPECT_EQ(v.txSample, 0.0);
  }
  // Connected but with an all-zero BSSID counts as disconnected.
  driver.SetU32(OID_VND_EXTRA_INFO.query, 0);
  wifi.connected = true;
  wifi.bssid = MacAddress{};
  EXPECT_EQ(poller.Poll(Legacy()).statusKey, IDS_DISCONNECTED);
  EXPECT_EQ(driver.sets, 0) << "the panel writes nothing";
}

}  // namespace
}  // namespace ov::link_status
