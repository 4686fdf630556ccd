#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "driver/chip_family.h"
#include "driver/driver_file.h"
#include "radio/about_text.h"

namespace ov {
namespace {

TEST(AboutText, VersionsTakeTheirBytesInTheirOwnOrder) {
  struct Case {
    const char* name;
    uint32_t answer;
    const char* eeprom;
    const char* firmware;
  } cases[] = {
      {"byte 0 = 3, byte 1 = 1", 0x0103, "3.1", "1.3"},
      {"byte 0 = 2, byte 1 = 1", 0x0102, "2.1", "1.2"},
      {"upper bytes are not part of it", 0xFFFF0A05, "5.10", "10.5"},
      {"zero", 0, "0.0", "0.0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EepromVersionText(c.answer), c.eeprom);
    EXPECT_EQ(FirmwareVersionText(c.answer), c.firmware);
  }
}

TEST(AboutText, MacDateAndFileVersion) {
  EXPECT_EQ(MacAddressText({0x02, 0x0f, 0x5a, 0x00, 0xab, 0x01}), "02-0F-5A-00-AB-01");
  EXPECT_EQ(MacAddressText({}), "00-00-00-00-00-00");
  EXPECT_EQ(FileVersionText(1, 2, 300, 4), "1.2.300.4");

  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(FileDateText(0), "01-01-1970");
  EXPECT_EQ(FileDateText(1796860800), "12-10-2026");  // 2026-12-10 00:00 UTC
}

TEST(AboutText, OnlyFamiliesFourToTenHaveAFirmwareVersion) {
  for (int32_t family = -1; family <= 11; ++family) {
    EXPECT_EQ(FamilyHasFirmwareVersion(family), family >= 4 && family <= 10) << family;
  }
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

TEST(DriverFile, VersionStringOfTheInformationSection) {
  struct Case { const char* name; std::string contents; std::optional<DriverFileVersion> version; } cases[] = {
      {"four parts", DriverFileInfo({3, 2, 1, 0}, "x"), DriverFileVersion{3, 2, 1, 0}},
      {"after other strings", std::string("license=GPL\0version=1.20\0", 25), DriverFileVersion{1, 20, 0, 0}},
      {"a key that only ends in version=", std::string("srcversion=9\0", 13), std::nullopt},
      {"five parts", "version=1.2.3.4.5", std::nullopt},
      {"above 16 bits", "version=65536.0", std::nullopt},
      {"not a number", "version=1.x", std::nullopt},
      {"empty part", "version=1..2", std::nullopt},
      {"none", "description=driver", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDriverFileVersion(c.contents), c.version) << c.name;
  EXPECT_EQ(DriverFileName(WXP4), "wxp4.ko");
  EXPECT_EQ(DriverFileName(CHIP_FAMILY_NONE), "");
}

}  // namespace
}  // namespace ov
