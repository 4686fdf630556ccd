// The simulated driver follows the radio settings the utility sends: the channels it offers by
// wireless mode and regions, and the link rate by the HT transmit settings and the EEPROM.
#include <gtest/gtest.h>

#include "driver/oid/oid_requests.h"
#include "platform/time/virtual_clock.h"
#include "sim/simulated_adapter.h"
#include "tests/sim/sim_test_support.h"

namespace ov::sim {
namespace {

class RadioSettingsHonoured : public ::testing::Test {
 protected:
  SimulatedAdapter& make(AdapterSpec spec) {
    adapter_ = std::make_unique<SimulatedAdapter>(spec, simClock_);
    adapter_->start(DefaultAdapterParameters(spec));
    driver_ = std::make_unique<test::DirectRequester>(*adapter_);
    return *adapter_;
  }
  HtTransmitSetting LinkRate() {
    uint32_t word = 0;
    EXPECT_TRUE(QueryLastTxRate(*driver_, word));
    return DecodeHtTransmitSetting(word);
  }
  void Associate(uint32_t frequencyKHz) {
    Association link;
    link.frequencyKHz = frequencyKHz;
    link.ht = true;
    link.fortyMhz = true;
    link.mcs = 15;
    adapter_->setAssociation(link);
  }
  void SendHt(uint8_t mcs, uint8_t bw, uint8_t gi, WirelessMode mode = 5) {
    HtPhySettings settings{static_cast<uint32_t>(mode), 2, 0, mcs, bw, 0, gi};
    ASSERT_TRUE(UpdateHtPhyMode(*driver_, settings));
  }

  VirtualClock clock_;
  TimerServiceSimClock simClock_{clock_};
  std::unique_ptr<SimulatedAdapter> adapter_;
  std::unique_ptr<test::DirectRequester> driver_;
};

TEST_F(RadioSettingsHonoured, ChannelsFollowTheModeAndTheRegions) {
  SimulatedAdapter& adapter = make(test::MakeSpec(WXP4, 3, true));
  struct Row {
    const char* name;
    WirelessMode mode;
    uint32_t region24, region5;
    std::vector<uint32_t> offered, refused;
  } rows[] = {
      {"both bands, CH1-13 and every 5 GHz channel", 5, 1, 7, {1, 13, 36, 165}, {14}},
      {"2.4 GHz only", 9, 1, 7, {1, 11}, {36, 165}},
      {"5 GHz only", 8, 1, 7, {36}, {1, 11}},
      {"CH10-11", 9, 2, 7, {10, 11}, {1, 9, 13}},
      {"CH14", 5, 4, 6, {14, 36, 48}, {1, 52, 149}},
  };
  for (const Row& r : rows) {
    ASSERT_TRUE(SetPhyMode(*driver_, r.mode));
    ASSERT_EQ(SetCountryRegion(*driver_, r.region24, r.region5, true, true), SetResult::Sent);
    for (uint32_t channel : r.offered) EXPECT_TRUE(adapter.offersChannel(channel)) << r.name << ": " << channel;
    for (uint32_t channel : r.refused) EXPECT_FALSE(adapter.offersChannel(channel)) << r.name << ": " << channel;
  }
}

TEST_F(RadioSettingsHonoured, AdapterWithout5GhzNeverOffersIt) {
  SimulatedAdapter& adapter = make(test::MakeSpec(WXP4, 2, false));
  ASSERT_TRUE(SetPhyMode(*driver_, 5));
  EXPECT_TRUE(adapter.offersChannel(6));
  EXPECT_FALSE(adapter.offersChannel(36));
}

TEST_F(RadioSettingsHonoured, LinkRateFollowsTheHtSettingsAndTheEeprom) {
  struct Row {
    const char* name;
    bool no40At24;
    uint32_t frequencyKHz;
    uint8_t mcs, bw, gi;
    WirelessMode mode;
    HtTransmitSetting expected;
  } rows[] = {
      {"auto at 40 MHz", false, 2437000, 33, 1, 1, 5, {15, 1, 1, 0, HT_PHY_HT_MIXED}},
      {"fixed MCS 7 at 20 MHz, long GI", false, 2437000, 7, 0, 0, 5, {7, 0, 0, 0, HT_PHY_HT_MIXED}},
      {"fixed MCS above the link's is capped", false, 2437000, 31, 1, 1, 5, {15, 1, 1, 0, HT_PHY_HT_MIXED}},
      {"EEPROM forbids 40 MHz at 2.4 GHz", true, 2437000, 33, 1, 1, 9, {15, 0, 1, 0, HT_PHY_HT_MIXED}},
      {"the same EEPROM allows it at 5 GHz", true, 5180000, 33, 1, 1, 8, {15, 1, 1, 0, HT_PHY_HT_MIXED}},
      {"MCS 32 needs 40 MHz", false, 2437000, 32, 0, 0, 5, {0, 0, 0, 0, HT_PHY_HT_MIXED}},
      {"legacy mode: OFDM 54", false, 2437000, 33, 1, 1, 0, {7, 0, 0, 0, HT_PHY_OFDM}},
  };
  for (const Row& r : rows) {
    AdapterSpec spec = test::MakeSpec(WXP4, 3, true);
    spec.no40Mhz24 = r.no40At24;
    make(spec);
    ASSERT_TRUE(SetPhyMode(*driver_, r.mode));
    SendHt(r.mcs, r.bw, r.gi, r.mode);
    Associate(r.frequencyKHz);
    EXPECT_EQ(LinkRate(), r.expected) << r.name;
  }
}

}  // namespace
}  // namespace ov::sim
