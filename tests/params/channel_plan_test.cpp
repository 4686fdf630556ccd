// The channel-plan check: region permissions, the allowed-channel tables per family, band and
// region, and the reconciliation of the adapter's "Channel" with its "Default" copy.
#include <gtest/gtest.h>

#include <numeric>

#include "driver/params/adapter_params.h"
#include "driver/params/channel_plan.h"
#include "tests/params/registry_sandbox.h"

namespace ov {
namespace {

using test::kAdapterKey;
using Channels = std::vector<uint32_t>;

Channels Range(uint32_t first, uint32_t last) {
  Channels c(last - first + 1);
  std::iota(c.begin(), c.end(), first);
  return c;
}
Channels Join(Channels a, const Channels& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Channels kA1 = {36, 40, 44, 48, 52, 56, 60, 64, 100, 104, 108, 112, 116, 120, 124, 128, 132,
                      136, 140};
const Channels kA2 = {36, 40, 44, 48, 52, 56, 60, 64};
const Channels kA9Ht = {36, 40, 44, 48, 52, 56, 60, 64, 100, 104, 108,
                        112, 116, 132, 136, 140, 149, 153, 157, 161, 165};
const Channels kA10Legacy = {34, 36, 38, 40, 42, 44, 46, 48, 52, 56, 60, 64};
const Channels kA10Ht = {36, 40, 44, 48, 149, 153, 157, 161, 165};
const Channels kA11 = {36, 40, 44, 48, 52, 56, 60, 64, 100, 104, 108, 112, 116, 120, 149, 153, 157,
                       161};
const Channels kADefault = {36, 40, 44, 48, 52, 56, 60, 64, 149, 153, 157, 161, 165};

uint32_t Word(uint32_t region24, uint32_t region5) { return region24 | (region5 << 8); }

TEST(AllowedChannels, FollowFamilyModeAndRegion) {
  struct Row {
    const char* name;
    int32_t family;
    WirelessMode mode;
    uint32_t word;
    Channels expected;
  } rows[] = {
      {"htFamilyRegion0", WXP4, 0, Word(0, 0), Range(1, 11)},
      {"htFamilyRegion1", WXP4, 0, Word(1, 0), Range(1, 13)},
      {"htFamilyRegion4", WXU4, 0, Word(4, 0), {14}},
      {"htFamilyRegion6", WXP5, 0, Word(6, 0), Range(3, 9)},
      {"htFamilyRegion31", WXU6, 0, Word(31, 0), Range(1, 14)},
      {"htFamilyUnknownRegion", WXP4, 0, Word(9, 0), Range(1, 11)},
      {"firstGenRegion0IsDefault", WXP1, 0, Word(0, 0), Range(1, 11)},
      {"firstGenRegion1", WXU1, 0, Word(1, 0), Range(1, 11)},
      {"firstGenRegion4", WXU1, 0, Word(4, 0), Range(10, 13)},
      {"firstGenRegion5", WXP1, 0, Word(5, 0), {14}},
      {"firstGenRegion6", WXP1, 0, Word(6, 0), Range(1, 14)},
      {"firstGenRegion8", WXU1, 0, Word(8, 0), Range(5, 13)},
      {"firstGenRegion31IsDefault", WXP1, 0, Word(31, 0), Range(1, 11)},
      {"familyWithoutTable", WXP2, 0, Word(1, 1), {}},
      {"noFamily", CHIP_FAMILY_NONE, 0, Word(1, 1), {}},
      {"bgnModeHasNoFiveGigahertz", WXP4, 9, Word(1, 2), Range(1, 13)},
      {"aOnlyHasNoTwoGigahertz", WXP4, 2, Word(1, 2), kA2},
      {"abgAppendsFiveGigahertz", WXP4, 3, Word(1, 1), Join(Range(1, 13), kA1)},
      {"abgnAppendsFiveGigahertz", WXU6, 5, Word(0, 2), Join(Range(1, 11), kA2)},
      {"anAppendsFiveGigahertz", WXP5, 8, Word(5, 8), Join(Range(1, 14), {52, 56, 60, 64})},
      {"fiveGigahertzOnlyFamily2", WXU2, 3, Word(0, 2), kA2},
      {"region5Is149To161", WXP4, 2, Word(0, 5), {149, 153, 157, 161}},
      {"region4Has165", WXP4, 2, Word(0, 4), {149, 153, 157, 161, 165}},
      {"region7IsEverything", WXP4, 2, Word(0, 7), Join(kA1, {149, 153, 157, 161, 165})},
      {"region9OnFamily4", WXP3, 2, Word(0, 9), {34, 38, 42, 46}},
      {"region9OnHtFamily", WXP4, 2, Word(0, 9), kA9Ht},
      {"region9OnFirstGen", WXP1, 2, Word(0, 9), {}},
      {"region10OnFamily5", WXU3, 2, Word(0, 10), kA10Legacy},
      {"region10OnHtFamily", WXP5, 2, Word(0, 10), kA10Ht},
      {"region11OnFamily4", WXP3, 2, Word(0, 11), {}},
      {"region11OnHtFamily", WXU4, 2, Word(0, 11), kA11},
      {"region0IsDefault", WXP4, 2, Word(0, 0), kADefault},
      {"region12IsDefault", WXP4, 2, Word(0, 12), kADefault},
      {"region127IsDefault", WXP4, 2, Word(0, 127), kADefault},
      {"highBytesIgnored", WXP4, 3, 0xFFFF0000u | Word(1, 6), Join(Range(1, 13), {36, 40, 44, 48})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(BuildAllowedChannels(row.family, row.mode, row.word), row.expected);
  }
}

TEST(AllowedChannels, Region5MeansAllFourteenOnlyFromFamily4On) {
  for (int32_t family = WXP3; family <= WXP5; ++family) {
    SCOPED_TRACE(family);
    EXPECT_EQ(BuildAllowedChannels(family, 0, Word(5, 0)), Range(1, 14));
  }
  for (int32_t family : {WXP1, WXU1}) {
    SCOPED_TRACE(family);
    EXPECT_EQ(BuildAllowedChannels(family, 0, Word(5, 0)), Channels{14});
  }
}

TEST(RegionRule, FixedBitOrHiddenOptionFixesTheBand) {
  struct Row {
    const char* name;
    uint32_t driverWord;
    bool show;
    RegionState expected;
  } rows[] = {
      {"bothChangeable", 0x0201, true, {0x0201, true, true}},
      {"bothFixedByHardware", 0x8281, true, {0x0201, false, false}},
      {"onlyTwoGigahertzFixed", 0x0281, true, {0x0201, false, true}},
      {"onlyFiveGigahertzFixed", 0x8201, true, {0x0201, true, false}},
      {"optionOffFixesBoth", 0x0201, false, {0x0201, false, false}},
      {"optionOffClearsFixedBits", 0x8281, false, {0x0201, false, false}},
      {"upperBytesKept", 0x12340005, true, {0x12340005, true, true}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ApplyRegionRule(row.driverWord, row.show), row.expected);
  }
}

// A driver that answers the region query with a fixed word, or fails it.
struct RegionDriver : OidRequester {
  bool answers = true;
  uint32_t word = 0;
  std::vector<uint32_t> queried;
  bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* returned) override {
    queried.push_back(oid);
    if (!answers || oid != 0xFF0C0003 || size < 4) return false;
    for (int i = 0; i < 4; ++i) buffer[i] = static_cast<uint8_t>(word >> (8 * i));
    *returned = 4;
    return true;
  }
  bool SetOid(uint32_t, uint8_t*, uint32_t, uint32_t*, int) override { return false; }
};

class ChannelPlanCheckTest : public test::RegistrySandbox {
 protected:
  void SetUp() override { PutString(kAdapterKey, "DriverDesc", "Test adapter"); }
  std::optional<std::string> defaultChannel() const {
    return GetString(std::string(kAdapterKey) + "\\Default", "Channel");
  }
  bool wroteAdapterChannel() const {
    for (const auto& call : writer.calls) {
      if (call.op == "set" && call.keyPath == kAdapterKey && call.name == "Channel") return true;
    }
    return false;
  }

  RegionDriver driver;
  test::RecordingWriter writer;
  ChannelPlanState state;
};

TEST_F(ChannelPlanCheckTest, ChannelOutsideThePlanIsReplacedInBothKeys) {
  PutString(kAdapterKey, "Channel", "13");
  PutString(kAdapterKey, "WirelessMode", "0");
  driver.word = Word(0, 0);
  RunChannelPlanCheck(driver, writer, kAdapterKey, {WXP4, true, false, true}, state);
  EXPECT_EQ(state.channel, 1u);
  EXPECT_EQ(GetString(kAdapterKey, "Channel"), "1");
  EXPECT_EQ(defaultChannel(), "1");
  EXPECT_EQ(state.allowedChannels, Range(1, 11));
}

TEST_F(ChannelPlanCheckTest, AllowedChannelIsKeptAndCopiedToDefault) {
  PutString(kAdapterKey, "Channel", "36");
  PutString(kAdapterKey, "WirelessMode", "3");
  driver.word = Word(0, 2);
  RunChannelPlanCheck(driver, writer, kAdapterKey, {WXP4, true, true, false}, state);
  EXPECT_EQ(state.wirelessMode, 3);
  EXPECT_EQ(state.channel, 36u);
  EXPECT_FALSE(wroteAdapterChannel());
  EXPECT_EQ(GetString(kAdapterKey, "Channel"), "36");
  EXPECT_EQ(defaultChannel(), "36");
}

TEST_F(ChannelPlanCheckTest, FiveGigahertzChannelFallsBackWhenTheAdapterLacksTheBand) {
  // Mode 3 on an adapter without 5 GHz normalises to 0, so 36 is no longer allowed.
  PutString(kAdapterKey, "Channel", "36");
  PutString(kAdapterKey, "WirelessMode", "3");
  driver.word = Word(1, 2);
  RunChannelPlanCheck(driver, writer, kAdapterKey, {WXP4, true, false, false}, state);
  EXPECT_EQ(state.wirelessMode, 0);
  EXPECT_EQ(GetString(kAdapterKey, "Channel"), "1");
  EXPECT_EQ(defaultChannel(), "1");
}

TEST_F(ChannelPlanCheckTest, MissingChannelTakesTheFirstAllowedOne) {
  PutString(kAdapterKey, "WirelessMode", "2");
  driver.word = Word(0, 3);
  RunChannelPlanCheck(driver, writer, kAdapterKey, {WXP4, true, true, true}, state);
  EXPECT_EQ(GetString(kAdapterKey, "Channel"), "52");
  EXPECT_EQ(defaultChannel(), "52");
}

TEST_F(ChannelPlanCheckTest, EmptyPlanWritesChannelZero) {
  PutString(kAdapterKey, "Channel", "6");
  PutString(kAdapterKey, "WirelessMode", "0");
  RunChannelPlanCheck(driver, writer, kAdapterKey, {WXP2, true, false, false}, state);
  EXPECT_TRUE(state.allowedChannels.empty());
  EXPECT_EQ(GetString(kAdapterKey, "Channel"), "0");
  EXPECT_EQ(defaultChannel(), "0");
}

TEST_F(ChannelPlanCheckTest, RegionWordAndPermissionsComeFromTheDriver) {
  PutString(kAdapterKey, "Channel", "14");
  PutString(kAdapterKey, "WirelessMode", "9");
  driver.word = 0x0285;  // 2.4 GHz code 5 fixed by the hardware, 5 GHz code 2 changeable
  RunChannelPlanCheck(driver, writer, kAdapterKey, {WXP4, true, true, true}, state);
  EXPECT_EQ(driver.queried, std::vector<uint32_t>{0xFF0C0003});
  EXPECT_EQ(state.region, (RegionState{0x0205, false, true}));
  EXPECT_EQ(state.channel, 14u);

  // Without the ShowCountryRegion option nothing may be changed.
  RunChannelPlanCheck(driver, writer, kAdapterKey, {WXP4, false, true, true}, state);
  EXPECT_EQ(state.region, (RegionState{0x0205, false, false}));
}

TEST_F(ChannelPlanCheckTest, FailedRegionQueryKeepsThePreviousWord) {
  PutString(kAdapterKey, "Channel", "12");
  state.region = {Word(1, 0), true, false};
  state.wirelessMode = 9;
  driver.answers = false;
  RunChannelPlanCheck(driver, writer, kAdapterKey, {WXP4, true, false, true}, state);
  EXPECT_EQ(state.region, (RegionState{Word(1, 0), true, false}));
  EXPECT_EQ(state.wirelessMode, 9);  // "WirelessMode" missing: the previous mode stays
  EXPECT_EQ(state.channel, 12u);
  EXPECT_TRUE(Traced("RegQueryValueEx 'REGSTR_WIRELESS_MODE' failed\n"));
}

}  // namespace
}  // namespace ov
