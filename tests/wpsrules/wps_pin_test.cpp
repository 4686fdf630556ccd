// PIN generation and the PIN edit's checks.
#include <gtest/gtest.h>

#include <ostream>

#include "wps/wps_pin.h"

namespace ov {
namespace {

TEST(WpsPin, ChecksumOfKnownPins) {
  // Published example PINs with their check digits.
  EXPECT_EQ(WpsPinChecksum(1234567), 0u);
  EXPECT_EQ(WpsPinChecksum(0), 0u);
  EXPECT_EQ(WpsPinChecksum(4953710), 9u) << "49537109";
  EXPECT_EQ(WpsPinChecksum(9999999), 5u);
}

TEST(WpsPin, GeneratedPinsPassAndAChangedLastDigitFails) {
  for (int b0 = 0; b0 < 256; b0 += 17) {
    for (int b1 = 0; b1 < 256; b1 += 29) {
      for (int b2 = 0; b2 < 256; b2 += 31) {
        const uint32_t pin = MakeWpsPin(uint8_t(b0), uint8_t(b1), uint8_t(b2));
        ASSERT_LT(pin, 100000000u);
        const std::string text = FormatWpsPin(pin);
        ASSERT_EQ(text.size(), 8u) << text;
        uint32_t read = 0;
        ASSERT_EQ(CheckWpsPin(text, &read), WpsPinCheck::Valid) << text;
        EXPECT_EQ(read, pin);
        std::string changed = text;
        changed[7] = char('0' + (changed[7] - '0' + 1) % 10);
        EXPECT_EQ(CheckWpsPin(changed, nullptr), WpsPinCheck::ChecksumError) << changed;
      }
    }
  }
}

TEST(WpsPin, SmallPinsKeepTheirLeadingZeros) {
  const uint32_t pin = MakeWpsPin(0, 0, 1);  // n = 1
  EXPECT_EQ(FormatWpsPin(pin), "0000001" + std::to_string(WpsPinChecksum(1)));
  EXPECT_EQ(CheckWpsPin(FormatWpsPin(pin), nullptr), WpsPinCheck::Valid);
}

TEST(WpsPin, ThreeBytesAreReducedBelowTenMillion) {
  // 0xFFFFFF = 16777215 -> 6777215
  EXPECT_EQ(MakeWpsPin(0xFF, 0xFF, 0xFF) / 10, 6777215u);
}

struct PinRow {
  const char* name;
  const char* text;
  WpsPinCheck expected;
};

void PrintTo(const PinRow& row, std::ostream* os) { *os << row.name; }

class WpsPinCheckTable : public ::testing::TestWithParam<PinRow> {};

TEST_P(WpsPinCheckTable, Checks) {
  uint32_t pin = 77;
  EXPECT_EQ(CheckWpsPin(GetParam().text, &pin), GetParam().expected);
  if (GetParam().expected != WpsPinCheck::Valid) EXPECT_EQ(pin, 77u) << "untouched on failure";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WpsPinCheckTable,
    ::testing::Values(PinRow{"Valid", "12345670", WpsPinCheck::Valid},
                      PinRow{"SevenDigits", "1234567", WpsPinCheck::WrongFormat},
                      PinRow{"NineDigits", "123456700", WpsPinCheck::WrongFormat},
                      PinRow{"Empty", "", WpsPinCheck::WrongFormat},
                      PinRow{"Letters", "abcdefgh", WpsPinCheck::WrongFormat},
                      PinRow{"SpaceInside", "1234 670", WpsPinCheck::WrongFormat},
                      PinRow{"SignInFront", "+2345670", WpsPinCheck::WrongFormat},
                      PinRow{"WrongCheckDigit", "12345671", WpsPinCheck::ChecksumError},
                      PinRow{"AllZeros", "00000000", WpsPinCheck::Valid}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov
