// LoadRadioSettings over a sandbox registry and a recording driver, and the rules it composes
// with: the desired-rate tables and the transmit-setting word.
#include <gtest/gtest.h>

#include <optional>

#include "tests/actionqueue/queue_test_support.h"

namespace ov::test {
namespace {

constexpr DesiredRateList kMixed = {108, 96, 72, 48, 22, 11, 4, 2};
constexpr DesiredRateList kOfdm = {108, 96, 72, 48, 36, 24, 18, 12};
constexpr DesiredRateList kCck = {22, 11, 4, 2, 0, 0, 0, 0};
DesiredRateList Alone(uint8_t rate) { return {rate, 0, 0, 0, 0, 0, 0, 0}; }

constexpr uint32_t kMcs33 = 33 << 4;
constexpr uint32_t kMcs7 = 7 << 4;

TEST(DesiredRates, ChosenByTransRateAndWirelessMode) {
  struct Row {
    WirelessMode mode;
    std::optional<int32_t> transRate;
    uint32_t word;
    DesiredRateList expected;
  } rows[] = {
      {5, 3, kMcs33, kMixed},     {6, 0, kMcs33, kMixed},    {8, 12, kMcs7, Alone(108)},
      {9, std::nullopt, kMcs33, {}},  // not read: the 802.11n modes choose nothing
      {2, 1, 0, Alone(12)},       {2, 8, 0, Alone(108)},     {4, 4, 0, Alone(36)},
      {2, 0, 0, kOfdm},           {4, -1, 0, kOfdm},         {4, 9, 0, kOfdm},
      {2, std::nullopt, 0, kCck}, {4, std::nullopt, 0, kCck},
      {1, 1, 0, Alone(2)},        {1, 3, 0, Alone(11)},      {1, 4, 0, Alone(22)},
      {1, 0, 0, kCck},            {1, 5, 0, kCck},           {1, std::nullopt, 0, kCck},
      {0, 1, 0, Alone(2)},        {0, 5, 0, Alone(12)},      {3, 7, 0, Alone(24)},
      {0, 12, 0, Alone(108)},     {0, 13, 0, kMixed},        {3, 0, 0, kMixed},
      {7, -4, 0, kMixed},         {0, std::nullopt, 0, kMixed},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("mode " + std::to_string(row.mode) + " TransRate " +
                 (row.transRate ? std::to_string(*row.transRate) : "unread"));
    EXPECT_EQ(DesiredRatesForTransRate(row.mode, row.transRate, row.word), row.expected);
  }
}

TEST(DesiredRates, ReapplicationListByWirelessMode) {
  struct Row {
    WirelessMode mode;
    uint32_t word;
    DesiredRateList expected;
  } rows[] = {{2, 0, kOfdm},      {4, 0, kOfdm},         {1, 0, kCck},
              {5, kMcs33, kMixed}, {9, kMcs7, Alone(108)}, {8, 0, Alone(108)},
              {0, 0, kMixed},     {3, 0, kMixed},        {7, 0, kMixed}};
  for (const Row& row : rows) {
    SCOPED_TRACE("mode " + std::to_string(row.mode));
    EXPECT_EQ(ReapplyDesiredRates(row.mode, row.word), row.expected);
  }
}

TEST(TransmitSetting, ComposedFromRegistryPreviousWordModeAndDriverByte6) {
  struct Row {
    const char* name;
    std::optional<uint32_t> registry;
    uint32_t previous;
    WirelessMode mode;
    uint8_t byte6;
    uint32_t expected;
  } rows[] = {
      {"registry word: its MCS/BW/GI/STBC/HtMode bits, TransmitNo at least 2", 0x0003FFFF, 0, 9,
       3, 0x000FBFF9},
      {"registry word zero keeps the previous high bits", 0, 0xFFFFFFFF, 5, 0, 0xFFF08005},
      {"no registry word: the defaults", std::nullopt, 0, 9, 1, 0x0004BA19},
      {"no registry word keeps the previous default bits", std::nullopt, 0xFFFFFFFF, 0, 0,
       0xFFF0BA10},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ComposeTransmitSetting(row.registry, row.previous, row.mode, row.byte6),
              row.expected);
  }
  const HtPhySettings defaults = DecodeTransmitSetting(kDefaultTransmitSetting);
  EXPECT_EQ(defaults.MCS, kHtMcsAuto);
  EXPECT_EQ(defaults.BW, 1);
  EXPECT_EQ(defaults.SHORTGI, 1);
  EXPECT_EQ(defaults.STBC, 1);
  EXPECT_EQ(defaults.TransmitNo, 2);
}

class LoadRadioTest : public QueueFixture {
 protected:
  LoadRadioTest() {
    queue->adapter().htCapable = true;
    queue->adapter().aBandCapable = true;
    HtPhyMode answer;
    answer.Byte6 = 1;
    AnswerHtPhyMode(answer);
    StaConfig fromDriver;
    fromDriver.TxBurst = 1;
    fromDriver.BgProtection = 1;
    fromDriver.ShortSlot = 1;
    fromDriver.Offset20 = 0x20;
    fromDriver.Offset28 = 0x28;
    AnswerStaConfig(fromDriver);
  }
  StaConfig Block(const StationProfile& p) {
    StaConfig c;
    EXPECT_TRUE(DecodeStaConfig(p.staConfigBlock, c));
    return c;
  }
};

TEST_F(LoadRadioTest, EveryValueFromTheAdapterKey) {
  struct Row {
    const char* mode;
    uint32_t expectedBgProtection;
  } rows[] = {{"0", 2}, {"3", 2}, {"9", 0}, {"5", 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string("WirelessMode ") + row.mode);
    PutString(kAdapterKey, "WirelessMode", row.mode);
    Put(kAdapterKey, "TransmitSetting", REG_DWORD, EncodeWordValue(kMcs33 | 1 << 11));
    Put(kAdapterKey, "CCX2Control", REG_DWORD, EncodeWordValue(0x1234));
    PutString(kAdapterKey, "CountryRegion", "1");
    PutString(kAdapterKey, "CountryRegionABand", "7");
    PutString(kAdapterKey, "TXBurst", "0");
    PutString(kAdapterKey, "TurboRate", "1");
    PutString(kAdapterKey, "BGProtection", "2");
    PutString(kAdapterKey, "ShortSlot", "0");
    PutString(kAdapterKey, "TransRate", "0");
    traces.clear();
    writer.calls.clear();
    StationProfile p;
    ASSERT_TRUE(queue->LoadRadioSettings(p, 1, 50));
    EXPECT_TRUE(traces.empty()) << traces.front();
    const WirelessMode mode = std::stoi(row.mode);
    EXPECT_EQ(queue->radio().plan.wirelessMode, mode);
    EXPECT_EQ(p.radioApply, 1u);
    EXPECT_EQ(p.skipPhyMode, 50u);
    EXPECT_EQ(p.ccx2Control, 0x1234u);
    EXPECT_EQ(p.countryRegion, 1u + 256 * 7);
    const StaConfig c = Block(p);
    EXPECT_EQ(c.TxBurst, 0u);
    EXPECT_EQ(c.TurboRate, 1u);
    EXPECT_EQ(c.BgProtection, row.expectedBgProtection);
    EXPECT_EQ(c.ShortSlot, 0u);
    EXPECT_EQ(c.AdhocRateMode, *WirelessModeToAdhocRateMode(mode));
    EXPECT_EQ(c.Offset20, 0x20u) << "the driver's own fields stay";
    EXPECT_EQ(c.Offset28, 0x28u);
    EXPECT_EQ(queue->radio().staConfig, c);
    EXPECT_EQ(p.desiredRates, DesiredRatesForTransRate(mode, 0, *queue->radio().transmitSetting));
    EXPECT_EQ(*queue->radio().transmitSetting,
              ComposeTransmitSetting(kMcs33 | 1 << 11, 0, mode, 1));
    ASSERT_EQ(writer.calls.size(), 1u);
    EXPECT_EQ(writer.calls[0].name, "AdhocOfdm");
    EXPECT_EQ(GetString(kAdapterKey, "AdhocOfdm"),
              std::to_string(*WirelessModeToAdhocRateMode(mode)));
    queue->radio().transmitSetting.reset();
  }
}

TEST_F(LoadRadioTest, MissingValuesTraceAndKeepWhatWasThere) {
  queue->radio().plan.wirelessMode = 9;
  queue->radio().plan.region.regionWord = 0x0A05;  // what the driver answered
  StationProfile p;
  ASSERT_TRUE(queue->LoadRadioSettings(p, 1, 0));
  for (const char* name :
       {"REGSTR_CCX2_CONTROL", "REGSTR_WIRELESS_MODE", "REGSTR_TRANSMIT_SETTING",
        "REGSTR_COUNTRY_REGION", "REGSTR_COUNTRY_REGION_A_BAND", "REGSTR_TX_BURST",
        "REGSTR_TURBO_RATE", "REGSTR_BG_PROTECTION", "REGSTR_SHORT_SLOT", "REGSTR_TRANS_RATE"}) {
    EXPECT_TRUE(Traced(std::string("RegQueryValueEx '") + name + "' failed\n")) << name;
  }
  EXPECT_EQ(p.ccx2Control, 0u);
  EXPECT_EQ(queue->radio().plan.wirelessMode, 9);
  EXPECT_EQ(*queue->radio().transmitSetting, 0x4BA19u);
  StaConfig expected;
  expected.TxBurst = 1;
  expected.BgProtection = 1;
  expected.ShortSlot = 1;
  expected.AdhocRateMode = 9;
  expected.Offset20 = 0x20;
  expected.Offset28 = 0x28;
  EXPECT_EQ(Block(p), expected);
  EXPECT_EQ(p.desiredRates, DesiredRateList{}) << "mode 9 without TransRate chooses nothing";
  EXPECT_EQ(p.countryRegion, 5u + 256 * 10);
}

TEST_F(LoadRadioTest, AMissingRegionFallsBackPerBandToTheDriversWord) {
  queue->radio().plan.region.regionWord = 0x0A05;
  struct Row {
    const char* name;
    const char* region24;
    const char* region5;
    uint32_t expected;
  } rows[] = {{"both read", "3", "2", 3 + 256 * 2},
              {"5 GHz missing", "3", nullptr, 3 + 256 * 10},
              {"2.4 GHz missing", nullptr, "2", 5 + 256 * 2},
              {"both missing", nullptr, nullptr, 5 + 256 * 10}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    writer.DeleteValue(HKEY_LOCAL_MACHINE, kAdapterKey, "CountryRegion");
    writer.DeleteValue(HKEY_LOCAL_MACHINE, kAdapterKey, "CountryRegionABand");
    if (row.region24) PutString(kAdapterKey, "CountryRegion", row.region24);
    if (row.region5) PutString(kAdapterKey, "CountryRegionABand", row.region5);
    StationProfile p;
    ASSERT_TRUE(queue->LoadRadioSettings(p, 1, 0));
    EXPECT_EQ(p.countryRegion, row.expected);
  }
}

TEST_F(LoadRadioTest, WithoutRadioApplyOnlyCcxAndAdhocOfdm) {
  Put(kAdapterKey, "CCX2Control", REG_DWORD, EncodeWordValue(7));
  PutString(kAdapterKey, "WirelessMode", "2");
  queue->radio().plan.wirelessMode = 4;
  StaConfig before;
  before.TurboRate = 3;
  queue->radio().staConfig = before;
  StationProfile p;
  ASSERT_TRUE(queue->LoadRadioSettings(p, 0, 50));
  EXPECT_TRUE(driver.calls.empty());
  StationProfile expected;
  expected.ccx2Control = 7;
  StaConfig block;
  block.AdhocRateMode = 2;  // from the process-wide mode 4, not the key's
  expected.staConfigBlock = EncodeStaConfig(block);
  EXPECT_EQ(p, expected);
  EXPECT_EQ(queue->radio().plan.wirelessMode, 4);
  EXPECT_EQ(queue->radio().staConfig, before);
  EXPECT_EQ(GetString(kAdapterKey, "AdhocOfdm"), "2");
}

TEST_F(LoadRadioTest, KeyThatDoesNotOpenLeavesTheRecordZero) {
  queue->adapter().adapterKeyPath = std::string(kAdapterKey) + "\\Missing";
  StationProfile p;
  EXPECT_FALSE(queue->LoadRadioSettings(p, 1, 0));
  EXPECT_EQ(p, StationProfile{});
  EXPECT_TRUE(Traced("RegOpenKeyEx '" + queue->adapter().adapterKeyPath + "' failed\n"));
  EXPECT_TRUE(driver.calls.empty());
  EXPECT_TRUE(writer.calls.empty());
}

TEST_F(LoadRadioTest, RefusedAdhocOfdmWriteIsTraced) {
  PutString(kAdapterKey, "WirelessMode", "9");
  writer.refuse = [](const RecordingWriter::Call& c) { return c.name == "AdhocOfdm"; };
  StationProfile p;
  EXPECT_TRUE(queue->LoadRadioSettings(p, 1, 0));
  EXPECT_TRUE(Traced("RegSetValueEx REGSTR_ADHOC_MODE '9' failed\n"));
}

}  // namespace
}  // namespace ov::test
