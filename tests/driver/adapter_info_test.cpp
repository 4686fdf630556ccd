#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "driver/adapter_info.h"

namespace ov {
namespace {

TEST(HtCapableTest, Table) {
  struct Row {
    const char* name;
    OsVersionCode code;
    int32_t family;
    std::optional<uint32_t> countryWirelessMode;
    bool expected;
  };
  const Row rows[] = {
      {"family 6, value missing", 11, WXP4, std::nullopt, true},
      {"family 7, value missing", 11, WXU4, std::nullopt, true},
      {"family 9, value missing", 11, WXU6, std::nullopt, true},
      {"family 10, value missing", 11, WXP5, std::nullopt, true},
      {"family 8 never, value missing", 11, WXU5, std::nullopt, false},
      {"family 8 never, bits allow", 11, WXU5, 0x01000100u, false},
      {"family 4 never", 11, WXP3, std::nullopt, false},
      {"family 0 never", 11, WXP1, std::nullopt, false},
      {"no adapter", 11, CHIP_FAMILY_NONE, std::nullopt, false},
      {"code 6", 6, WXP4, std::nullopt, false},
      {"code 0", 0, WXP4, std::nullopt, false},
      {"code 7", 7, WXP4, std::nullopt, true},
      {"bits 24-27 are 1", 11, WXP4, 0x01000000u, true},
      {"bits 24-27 are 1 with the 5 GHz field set", 11, WXP4, 0x11000000u, true},
      {"bits 24-27 are 2", 11, WXP4, 0x02000000u, false},
      {"bits 24-27 are 15", 11, WXP4, 0x0F000000u, false},
      {"bits 8-11 are 1", 11, WXP4, 0x00000100u, true},
      {"bits 8-11 are 1 with bits 12-15 set", 11, WXP4, 0x0000F100u, true},
      {"bits 8-11 are 3", 11, WXP4, 0x00000300u, false},
      {"value zero", 11, WXP4, 0x00000000u, false},
      {"only bit 0", 11, WXP4, 0x00000001u, false},
      {"only bits 16-19", 11, WXP4, 0x00010000u, false},
      {"only bits 28-31", 11, WXP4, 0x10000000u, false},
      {"all ones", 11, WXP4, 0xFFFFFFFFu, false},
      {"bits 8-11 are 1 on code 6", 6, WXP4, 0x00000100u, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(HtCapable(row.code, row.family, row.countryWirelessMode), row.expected);
  }
}

TEST(AdapterInfoTest, HardwareIdIsTheUpperCasedFirst21Characters) {
  AdapterInfo info;
  SetHardwareId(info, "pci\\ven_1a2b&dev_3c4d&subsys_00000000");
  EXPECT_EQ(info.hardwareId, "PCI\\VEN_1A2B&DEV_3C4D");
  SetHardwareId(info, "usb\\vid_0f0f");
  EXPECT_EQ(info.hardwareId, "USB\\VID_0F0F");
  EXPECT_EQ(HardwareIdPrefix("usb\\vid_0f0f&pid_1234&rev_0001"),
            HardwareIdPrefix("USB\\VID_0F0F&PID_1234&REV_9999"));
}

TEST(AdapterInfoTest, TextFieldsKeepTheirLimitsWithoutSplittingCharacters) {
  AdapterInfo info;
  SetDescription(info, std::string(300, 'a'));
  EXPECT_EQ(info.description.size(), 255u);
  SetDevicePath(info, "\\\\.\\{" + std::string(300, '0') + "}");
  EXPECT_EQ(info.devicePath.size(), 255u);

  // 254 ASCII bytes then a two-byte character: it does not fit whole, so it is dropped.
  SetDescription(info, std::string(254, 'b') + "\xC3\xA9" + "tail");
  EXPECT_EQ(info.description, std::string(254, 'b'));
  EXPECT_EQ(LimitText("\xE2\x82\xAC\xE2\x82\xAC", 4), "\xE2\x82\xAC");
  EXPECT_EQ(LimitText("short", 255), "short");
}

TEST(AdapterInfoTest, AdapterKeyPath) {
  const std::string driverKey = "{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";
  EXPECT_EQ(MakeAdapterKeyPath(11, driverKey),
            "System\\CurrentControlSet\\Control\\Class\\" + driverKey);
  EXPECT_EQ(MakeAdapterKeyPath(7, driverKey),
            "System\\CurrentControlSet\\Control\\Class\\" + driverKey);
  EXPECT_EQ(MakeAdapterKeyPath(6, driverKey),
            "System\\CurrentControlSet\\Services\\Class\\" + driverKey);

  AdapterInfo info;
  SetAdapterKeyPath(info, "A\\0007");
  EXPECT_FALSE(info.adapterChanged) << "a first selection is no change";
  SetAdapterKeyPath(info, "A\\0007");
  EXPECT_FALSE(info.adapterChanged);
  SetAdapterKeyPath(info, "A\\0008");
  EXPECT_TRUE(info.adapterChanged);
  EXPECT_EQ(info.adapterKeyPath, "A\\0008");
}

TEST(AdapterInfoTest, StartsWithNoAdapter) {
  AdapterInfo info;
  EXPECT_EQ(info.chipFamily, CHIP_FAMILY_NONE);
  EXPECT_EQ(static_cast<int32_t>(info.chipFamily), -1);
}

}  // namespace
}  // namespace ov
