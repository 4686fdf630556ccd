// The adapter key's values: encodings, defaults, normalisation, trace lines, and the transmit
// setting word.
#include <gtest/gtest.h>

#include <climits>

#include "driver/params/adapter_params.h"
#include "tests/params/registry_sandbox.h"

namespace ov {
namespace {

using test::kAdapterKey;

struct NormaliseRow {
  const char* name;
  WirelessMode mode;
  bool aBand;
  bool ht;
  WirelessMode expected;
};

class NormaliseWirelessModeTest : public ::testing::TestWithParam<NormaliseRow> {};

TEST_P(NormaliseWirelessModeTest, GivesTheCodeTheAdapterCanUse) {
  const NormaliseRow& row = GetParam();
  EXPECT_EQ(NormaliseWirelessMode(row.mode, row.aBand, row.ht), row.expected)
      << "mode " << row.mode << " aBand " << row.aBand << " ht " << row.ht;
}

INSTANTIATE_TEST_SUITE_P(
    Table, NormaliseWirelessModeTest,
    ::testing::Values(
        NormaliseRow{"BgStaysOnEveryAdapter", 0, false, false, 0},
        NormaliseRow{"BgStaysOnHtDualBand", 0, true, true, 0},
        NormaliseRow{"AOnlyStaysWithFiveGigahertz", 2, true, false, 2},
        NormaliseRow{"AOnlyWithoutFiveGigahertzIsBg", 2, false, true, 0},
        NormaliseRow{"AbgStaysWithFiveGigahertz", 3, true, true, 3},
        NormaliseRow{"AbgWithoutFiveGigahertzIsBg", 3, false, false, 0},
        NormaliseRow{"AbgnStaysWithBoth", 5, true, true, 5},
        NormaliseRow{"AbgnWithoutHtIsBgnNotAbg", 5, true, false, 9},
        NormaliseRow{"AbgnWithoutFiveGigahertzOnHt", 5, false, true, 9},
        NormaliseRow{"AbgnOnPlainAdapter", 5, false, false, 0},
        NormaliseRow{"AnStaysWithBoth", 8, true, true, 8},
        NormaliseRow{"AnWithoutHtIsAOnly", 8, true, false, 2},
        NormaliseRow{"AnWithoutFiveGigahertzOnHt", 8, false, true, 9},
        NormaliseRow{"AnOnPlainAdapter", 8, false, false, 0},
        NormaliseRow{"BOnlyOnHtIsBgn", 1, true, true, 9},
        NormaliseRow{"BOnlyOnPlainIsBg", 1, false, false, 0},
        NormaliseRow{"GOnlyWithoutHtIsBg", 4, true, false, 0},
        NormaliseRow{"NOnlyOnHtIsBgn", 6, true, true, 9},
        NormaliseRow{"SevenIsBg", 7, false, false, 0},
        NormaliseRow{"BgnStaysOnHt", 9, false, true, 9},
        NormaliseRow{"BgnWithoutHtIsBg", 9, true, false, 0},
        NormaliseRow{"NegativeOnHt", -1, false, true, 9},
        NormaliseRow{"UnknownOnPlain", 42, true, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecimalValue, ReadsAsTheDriverConvertsIt) {
  struct Row {
    uint32_t type;
    std::string data;
    std::optional<int32_t> expected;
  } rows[] = {
      {REG_SZ, std::string("0\0", 2), 0},
      {REG_SZ, std::string("2347\0", 5), 2347},
      {REG_SZ, "13", 13},  // stored without its NUL
      {REG_SZ, " 12abc", 12},
      {REG_SZ, "-3", -3},
      {REG_SZ, "+7", 7},
      {REG_SZ, "abc", 0},
      {REG_SZ, "", 0},
      {REG_SZ, std::string("5\0" "9", 3), 5},  // the text ends at its NUL
      {REG_SZ, "99999999999", INT32_MAX},
      {REG_SZ, "-99999999999", INT32_MIN},
      {REG_EXPAND_SZ, "36", 36},
      {REG_DWORD, std::string("\x01\x00\x00\x00", 4), 1},
      {REG_DWORD, std::string("\xFF\xFF\xFF\xFF", 4), -1},
      {REG_DWORD, std::string("\x01\x00", 2), std::nullopt},
      {REG_BINARY, std::string("\x01\x00\x00\x00", 4), std::nullopt},
      {REG_MULTI_SZ, std::string("1\0\0", 3), std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("type " + std::to_string(row.type) + " data '" + row.data + "'");
    EXPECT_EQ(DecodeDecimalValue(row.type, row.data), row.expected);
  }
}

TEST(WordValue, NeedsExactlyFourLittleEndianBytes) {
  EXPECT_EQ(DecodeWordValue(std::string("\x78\x56\x34\x12", 4)), 0x12345678u);
  EXPECT_EQ(DecodeWordValue(std::string("\x78\x56\x34", 3)), std::nullopt);
  EXPECT_EQ(DecodeWordValue(std::string("\x78\x56\x34\x12\x00", 5)), std::nullopt);
  EXPECT_EQ(EncodeWordValue(0x01000100), std::string("\x00\x01\x00\x01", 4));
}

class AdapterParamsTest : public test::RegistrySandbox {
 protected:
  void SetUp() override { ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kAdapterKey, "DriverDesc",
                                                   "Test adapter"), ERROR_SUCCESS); }
};

TEST_F(AdapterParamsTest, RadioIsOffOnlyWhenTheKeySaysOne) {
  EXPECT_TRUE(ReadRadioOn(kAdapterKey));
  EXPECT_TRUE(Traced("RegQueryValueEx 'REGSTR_RADIO' failed\n"));
  struct Row {
    uint32_t type;
    std::string data;
    bool on;
  } rows[] = {
      {REG_SZ, EncodeString("1"), false},
      {REG_SZ, "1", false},
      {REG_SZ, EncodeString("0"), true},
      {REG_DWORD, EncodeWordValue(1), false},
      {REG_SZ, EncodeString("2"), true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.data);
    Put(kAdapterKey, "Radio", row.type, row.data);
    EXPECT_EQ(ReadRadioOn(kAdapterKey), row.on);
  }
}

TEST_F(AdapterParamsTest, DefaultsApplyWhenValuesAreMissing) {
  EXPECT_EQ(ReadTxBurst(kAdapterKey, WXP4), 1);  // the 802.11n generation bursts by default
  EXPECT_EQ(ReadTxBurst(kAdapterKey, WXP3), 0);
  EXPECT_EQ(ReadTransRate(kAdapterKey), 0);
  EXPECT_EQ(ReadDecimalParamOr(kAdapterKey, param::kBgProtection), 0);
  EXPECT_EQ(ReadWirelessMode(kAdapterKey, 3, true, true), 3);  // the previous mode stays
  EXPECT_EQ(ReadCountryWirelessMode(kAdapterKey), std::nullopt);
  EXPECT_EQ(ReadTransmitSetting(kAdapterKey), std::nullopt);
  EXPECT_EQ(ReadTextParam(kAdapterKey, param::kWmmMacAddr), std::nullopt);
  for (const char* line :
       {"RegQueryValueEx 'REGSTR_TX_BURST' failed\n", "RegQueryValueEx 'REGSTR_TRANS_RATE' failed\n",
        "RegQueryValueEx 'REGSTR_WIRELESS_MODE' failed\n",
        "RegQueryValueEx 'REGSTR_TRANSMIT_SETTING' failed\n"}) {
    EXPECT_TRUE(Traced(line)) << line;
  }
}

TEST_F(AdapterParamsTest, StoredValuesAreDecodedByTheirEncoding) {
  PutString(kAdapterKey, "TXBurst", "0");
  PutString(kAdapterKey, "TransRate", "-4");
  PutString(kAdapterKey, "WirelessMode", "8");
  Put(kAdapterKey, "CountryWirelessMode", REG_BINARY, std::string("\x00\x01\x00\x11", 4));
  Put(kAdapterKey, "TransmitSetting", REG_DWORD, std::string("\x19\xBA\x0D\x00", 4));
  Put(kAdapterKey, "CCX2Control", REG_DWORD, std::string("\x01\x00", 2));  // short: unreadable

  EXPECT_EQ(ReadTxBurst(kAdapterKey, WXP4), 0);
  EXPECT_EQ(ReadTransRate(kAdapterKey), 0);                   // negative reads as 0
  EXPECT_EQ(ReadWirelessMode(kAdapterKey, 5, true, false), 2);  // normalised on read
  EXPECT_EQ(ReadCountryWirelessMode(kAdapterKey), 0x11000100u);
  EXPECT_EQ(ReadTransmitSetting(kAdapterKey), 0x000DBA19u);
  EXPECT_EQ(ReadWordParam(kAdapterKey, param::kCcx2Control), std::nullopt);
  EXPECT_TRUE(Traced("RegQueryValueEx 'REGSTR_CCX2_CONTROL' failed\n"));
  EXPECT_EQ(ReadTextParam(kAdapterKey, param::kDriverDesc), "Test adapter");
}

TEST_F(AdapterParamsTest, CountryRegionsFallBackToTheDriversWordPerBand) {
  // Driver word: 2.4 GHz code 5 with its fixed bit, 5 GHz code 7.
  const uint32_t driverWord = 0x0785;
  EXPECT_EQ(ReadCountryRegions(kAdapterKey, driverWord), (CountryRegionCodes{5, 7}));
  PutString(kAdapterKey, "CountryRegionABand", "2");
  EXPECT_EQ(ReadCountryRegions(kAdapterKey, driverWord), (CountryRegionCodes{5, 2}));
  PutString(kAdapterKey, "CountryRegion", "1");
  EXPECT_EQ(ReadCountryRegions(kAdapterKey, driverWord), (CountryRegionCodes{1, 2}));
}

TEST_F(AdapterParamsTest, TransmitSettingWordCarriesTheHtPhyModeFields) {
  // PhyMode 9, MCS 33, 40 MHz, short GI, STBC, two transmit streams, HT mode 1, byte-6 value 3.
  Put(kAdapterKey, "TransmitSetting", REG_DWORD, std::string("\x19\xBA\x0D\x00", 4));
  const auto word = ReadTransmitSetting(kAdapterKey);
  ASSERT_EQ(word, 0x000DBA19u);
  const HtPhySettings expected{9, 2, 1, 33, 1, 1, 1};
  EXPECT_TRUE(DecodeTransmitSetting(*word) == expected);
  EXPECT_EQ(TransmitSettingByte6(*word), 3);

  test::RecordingWriter writer;
  const HtPhySettings stock{0, 2, 0, 33, 1, 1, 1};  // MCS 33, 40 MHz, short GI, STBC, 2 streams
  ASSERT_EQ(WriteTransmitSetting(writer, kAdapterKey, stock, 0), ERROR_SUCCESS);
  auto stored = Get(kAdapterKey, "TransmitSetting");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, REG_DWORD);
  EXPECT_EQ(stored->data, std::string("\x10\xBA\x00\x00", 4));
}

TEST_F(AdapterParamsTest, AKeyThatDoesNotOpenIsTracedWithItsPath) {
  const std::string missing = std::string(kAdapterKey) + "9";
  EXPECT_EQ(ReadDecimalParam(missing, param::kChannel), std::nullopt);
  EXPECT_TRUE(Traced("RegOpenKeyEx '" + missing + "' failed\n"));
}

TEST_F(AdapterParamsTest, WritesUseTheValuesEncoding) {
  test::RecordingWriter writer;
  EXPECT_EQ(WriteDecimalParam(writer, kAdapterKey, param::kChannel, 13), ERROR_SUCCESS);
  EXPECT_EQ(WriteWordParam(writer, kAdapterKey, param::kBaCapability, 0x0102), ERROR_SUCCESS);
  EXPECT_EQ(WriteTextParam(writer, kAdapterKey, param::kWmmMacAddr, "00-11-22-33-44-55"),
            ERROR_SUCCESS);

  auto channel = Get(kAdapterKey, "Channel");
  ASSERT_TRUE(channel);
  EXPECT_EQ(channel->type, REG_SZ);
  EXPECT_EQ(channel->data, std::string("13\0", 3));
  auto ba = Get(kAdapterKey, "BACapability");
  ASSERT_TRUE(ba);
  EXPECT_EQ(ba->type, REG_DWORD);
  EXPECT_EQ(ba->data, std::string("\x02\x01\x00\x00", 4));
  EXPECT_EQ(GetString(kAdapterKey, "WMMMacAddr"), "00-11-22-33-44-55");
  EXPECT_TRUE(traces.empty());
}

TEST_F(AdapterParamsTest, AFailedWriteKeepsTheOldValueAndIsTraced) {
  PutString(kAdapterKey, "Radio", "0");
  test::RecordingWriter writer;
  writer.refuse = [](const auto&) { return true; };
  EXPECT_EQ(WriteDecimalParam(writer, kAdapterKey, param::kRadio, 1), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(Traced("RegSetValueEx REGSTR_RADIO '1' failed\n"));
  EXPECT_TRUE(ReadRadioOn(kAdapterKey));
}

}  // namespace
}  // namespace ov
