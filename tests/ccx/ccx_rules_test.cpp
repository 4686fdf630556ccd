// The CCX page's word, toggle rules and admission-control record.
#include "ccx/ccx_rules.h"

#include <gtest/gtest.h>

#include "radio/advance_rules.h"

namespace ov {
namespace {

CcxOptions CcxOnDefaults() {
  CcxOptions o;
  o.ccxEnabled = true;
  return OnCcxToggled(o);
}

TEST(CcxRulesTest, ComposeWordTable) {
  CcxOptions off;  // every field 0, limit 250
  CcxOptions full = CcxOnDefaults();
  full.cckm = full.cacEnabled = full.networkEap = full.rotateProfile = full.rfRoam = true;
  full.bit29Option = true;
  full.mfpMode = 2;
  full.measurementLimit = 100;
  CcxOptions nonServingWithoutRadio = CcxOnDefaults();
  nonServingWithoutRadio.radioMeasurement = false;
  CcxOptions limit2000 = CcxOnDefaults();
  limit2000.measurementLimit = 2000;
  struct Row { const char* what; CcxOptions options; uint32_t old; uint32_t expected; } rows[] = {
      {"on from 0", CcxOnDefaults(), 0, 0x00FA460Du},
      {"off from all ones", off, 0xFFFFFFFFu, 0xE0FA4620u},
      {"off from 0", off, 0, 0x00FA4600u},
      // Every field set: bits 0-4, 6-7, MFP 2, 28, 29, limit 100; bit 5 kept.
      {"every option", full, 0x20u, 0x386446FFu},
      {"non-serving needs radio measurement", nonServingWithoutRadio, 0, 0x00FA4601u},
      // 10 bits hold at most 1023: 2000 is stored as the highest value, not wrapped to 976.
      {"limit above 10 bits", limit2000, 0, 0x03FF460Du},
      // The advanced page's roaming threshold (-55 → 55) and fast-roaming bit survive.
      {"roaming threshold kept", CcxOnDefaults(), 0x00003720u, 0x00FA372Du},
      {"bytes outside the threshold range become 70", CcxOnDefaults(), 0x00002700u, 0x00FA460Du},
      {"threshold 90 kept", off, 0x00005A00u, 0x00FA5A00u},
      {"threshold 91 replaced", off, 0x00005B00u, 0x00FA4600u},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ComposeWord(r.options, r.old), r.expected) << r.what << std::hex << " got 0x"
                                                           << ComposeWord(r.options, r.old);
  }
}

TEST(CcxRulesTest, ComposeWordKeepsEveryThresholdTheAdvancedPageWrites) {
  for (int32_t threshold = -90; threshold <= -40; ++threshold) {
    const uint32_t written = EncodeRoaming(0, Roaming{true, threshold});
    for (bool ccx : {false, true}) {
      CcxOptions o;
      o.ccxEnabled = ccx;
      EXPECT_EQ(DecodeRoaming(ComposeWord(OnCcxToggled(o), written)), (Roaming{true, threshold}))
          << threshold << " ccx " << ccx;
    }
  }
}

TEST(CcxRulesTest, SplitReadsEveryFieldBack) {
  CcxOptions o = CcxOnDefaults();
  o.cckm = o.cacEnabled = o.rfRoam = true;
  o.mfpMode = 1;
  o.measurementLimit = 1000;
  EXPECT_EQ(SplitCcxWord(ComposeWord(o, 0)), o);
  EXPECT_EQ(SplitCcxWord(0xE0FA4620u).measurementLimit, 250);
  EXPECT_FALSE(SplitCcxWord(0xE0FA4620u).ccxEnabled);
}

TEST(CcxRulesTest, MeasurementLimitBounds) {
  struct Row { int32_t limit; bool valid; } rows[] = {
      {0, true}, {2000, true}, {2001, false}, {-1, false}, {1023, true}};
  for (const Row& r : rows) EXPECT_EQ(MeasurementLimitValid(r.limit), r.valid) << r.limit;
}

TEST(CcxRulesTest, ToggleRules) {
  CcxOptions busy;
  busy.ccxEnabled = true;
  busy.cckm = busy.networkEap = busy.cacEnabled = busy.rotateProfile = busy.rfRoam = true;
  busy.bit29Option = true;
  busy.mfpMode = 2;
  busy.measurementLimit = 700;
  CcxOptions on = OnCcxToggled(busy);
  EXPECT_TRUE(on.radioMeasurement && on.nonServingMeasurement);
  EXPECT_FALSE(on.cckm || on.networkEap || on.cacEnabled || on.rotateProfile || on.rfRoam ||
               on.bit29Option);
  EXPECT_EQ(on.mfpMode, 0);
  EXPECT_EQ(on.measurementLimit, 700) << "switching on keeps the limit";

  busy.ccxEnabled = false;
  CcxOptions offNow = OnCcxToggled(busy);
  EXPECT_FALSE(offNow.radioMeasurement || offNow.nonServingMeasurement);
  EXPECT_EQ(offNow.measurementLimit, 250);

  CcxOptions radioOff = on;
  radioOff.radioMeasurement = false;
  radioOff = OnRadioMeasurementToggled(radioOff);
  EXPECT_FALSE(radioOff.nonServingMeasurement);
  EXPECT_EQ(radioOff.measurementLimit, 250);

  CcxOptions nonServingOff = on;
  nonServingOff.nonServingMeasurement = false;
  EXPECT_EQ(OnNonServingToggled(nonServingOff).measurementLimit, 250);
  EXPECT_EQ(OnNonServingToggled(on).measurementLimit, 700) << "switching on keeps the limit";
}

TEST(CcxRulesTest, ControlStates) {
  CcxOptions o;
  EXPECT_EQ(ControlStatesFor(o), (CcxControlStates{false, false, false, false}));
  o.ccxEnabled = true;
  EXPECT_EQ(ControlStatesFor(o), (CcxControlStates{true, false, false, true}));
  o.radioMeasurement = true;
  EXPECT_EQ(ControlStatesFor(o), (CcxControlStates{true, true, false, true}));
  o.nonServingMeasurement = true;
  EXPECT_EQ(ControlStatesFor(o), (CcxControlStates{true, true, true, true}));
}

TEST(CcxRulesTest, CacRequestBytes) {
  for (int index = 0; index < 3; ++index) {
    auto request = CacRequestForComboIndex(index);
    ASSERT_TRUE(request.has_value());
    std::array<uint8_t, kCcxTspecSize> expected{};
    expected[0] = static_cast<uint8_t>(index + 1);
    expected[2] = 1;
    EXPECT_EQ(EncodeCcxTspec(*request), expected) << kCacComboItems[index];
  }
  EXPECT_STREQ(kCacComboItems[1], "DELTS");
  EXPECT_EQ(EncodeCcxTspec(*CacRequestForComboIndex(1))[0], 2) << "DELTS is action 2";
  EXPECT_FALSE(CacRequestForComboIndex(-1).has_value());
  EXPECT_FALSE(CacRequestForComboIndex(3).has_value());
}

}  // namespace
}  // namespace ov
