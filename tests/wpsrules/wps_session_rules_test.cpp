// Auto-select's next access point and rotation's next credential.
#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "wps/wps_session_rules.h"

namespace ov {
namespace {

struct AutoSelectRow {
  const char* name;
  std::vector<std::string> ids;
  int current;
  int expected;
};

void PrintTo(const AutoSelectRow& row, std::ostream* os) { *os << row.name; }

class WpsAutoSelect : public ::testing::TestWithParam<AutoSelectRow> {};

TEST_P(WpsAutoSelect, NextRow) {
  EXPECT_EQ(NextAutoSelectRow(GetParam().ids, GetParam().current), GetParam().expected);
}

const std::string kPbc = WpsPasswordIdText(0x0004);
const std::string kPinId = WpsPasswordIdText(0x0000);

INSTANTIATE_TEST_SUITE_P(
    Rows, WpsAutoSelect,
    ::testing::Values(AutoSelectRow{"FirstRow", {kPinId, kPinId}, -1, 0},
                      AutoSelectRow{"SkipsPushButtonFirst", {kPbc, kPbc, kPinId}, -1, 2},
                      AutoSelectRow{"MovesPastCurrent", {kPinId, kPbc, kPinId}, 0, 2},
                      AutoSelectRow{"NothingAfterLast", {kPinId, kPinId}, 1, -1},
                      AutoSelectRow{"OnlyPushButtonLeft", {kPinId, kPbc, kPbc}, 0, -1},
                      AutoSelectRow{"EmptyList", {}, -1, -1},
                      AutoSelectRow{"OtherIdIsTried", {WpsPasswordIdText(0x0005)}, -1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WpsPasswordId, Text) {
  EXPECT_EQ(WpsPasswordIdText(0x0004), "ID : 0x0004");
  EXPECT_EQ(WpsPasswordIdText(0xABCD), "ID : 0xABCD");
}

TEST(WpsRotation, EveryFifthTickAndNeverPastTheTable) {
  // With 2 credentials the tick counter grows without end; the index must stay inside.
  for (uint32_t tick = 0; tick <= 200; ++tick) {
    const auto index = RotationCredentialIndex(tick, 2);
    if (tick == 0 || tick % 5 != 0) {
      EXPECT_FALSE(index.has_value()) << tick;
    } else {
      ASSERT_TRUE(index.has_value()) << tick;
      EXPECT_LT(*index, 2u) << tick;
    }
  }
  EXPECT_EQ(RotationCredentialIndex(5, 3), 1u);
  EXPECT_EQ(RotationCredentialIndex(10, 3), 2u);
  EXPECT_EQ(RotationCredentialIndex(15, 3), 0u) << "wraps to the first";
  EXPECT_FALSE(RotationCredentialIndex(5, 0).has_value());
}

}  // namespace
}  // namespace ov
