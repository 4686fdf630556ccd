// The identifier tables: reading the program INI's family sections, and matching one device.
#include <gtest/gtest.h>

#include "driver/discovery/device_id_table.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

class DeviceIdTableTest : public ::testing::Test {
 protected:
  std::string writeIni(const std::string& text) {
    const std::string path = dir.file("OvUI.INI");
    test::WriteFileBytes(path, text);
    return path;
  }
  test::TempDir dir;
};

TEST_F(DeviceIdTableTest, SectionsAreReadInFamilyOrderUpToTheFirstGap) {
  const std::string ini = writeIni(
      "[WXP5]\r\nDeviceID_1=PCI\\VEN_0F5A&DEV_0A01\r\n"
      "[WXU4]\r\nDeviceID_1=usb\\vid_0f5a&pid_0701\r\nDeviceID_3=USB\\VID_0F5A&PID_0703\r\n"
      "[WXP1]\r\nDeviceID_1=PCI\\VEN_0F5A&DEV_0001\r\nDeviceID_2=PCI\\VEN_0F5A&DEV_0002\r\n"
      "[WXU1]\r\nDeviceID_1=\r\nDeviceID_2=USB\\VID_0F5A&PID_0102\r\n"
      "[WXP2]\r\nDeviceID_1=PCI\\VEN_0F5A&DEV_0201\r\n"
      "[WXU3]\r\nDeviceID_1=USB\\VID_0F5A&PID_0501&REV_0001\r\n");
  const std::vector<DeviceIdEntry> expected = {
      {"PCI\\VEN_0F5A&DEV_0001", WXP1},
      {"PCI\\VEN_0F5A&DEV_0002", WXP1},
      // WXU1 starts with an empty key: nothing from it.
      {"USB\\VID_0F5A&PID_0501", WXU3},  // cut to 21 characters
      {"USB\\VID_0F5A&PID_0701", WXU4},  // upper-cased; DeviceID_3 after the gap is not read
      {"PCI\\VEN_0F5A&DEV_0A01", WXP5},
      // WXP2 is no section of the table.
  };
  EXPECT_EQ(LoadDeviceIdTable(ini), expected);
}

TEST_F(DeviceIdTableTest, MissingFileGivesAnEmptyTable) {
  EXPECT_TRUE(LoadDeviceIdTable(dir.file("absent.INI")).empty());
}

TEST(DeviceIdSections, FollowTheFamilyReadingOrder) {
  std::vector<std::pair<std::string, ChipFamily>> got;
  for (const auto& s : DeviceIdSections()) got.emplace_back(s.name, s.family);
  const std::vector<std::pair<std::string, ChipFamily>> expected = {
      {"WXP1", WXP1}, {"WXU1", WXU1}, {"WXP3", WXP3}, {"WXU3", WXU3}, {"WXP4", WXP4},
      {"WXU4", WXU4}, {"WXU5", WXU5}, {"WXU6", WXU6}, {"WXP5", WXP5}};
  EXPECT_EQ(got, expected);
}

TEST(BuiltInTables, ShipEmpty) {
  EXPECT_TRUE(BuiltInUsbDeviceIds().empty());
  EXPECT_TRUE(BuiltInPciDeviceIds().empty());
  EXPECT_EQ(LegacyDriverDeviceName(WXP4), std::nullopt);
}

TEST(MatchHardwareId, IniEntriesSetFamilyBusAndFlags) {
  DeviceIdTables tables;
  tables.ini = {{"PCI\\VEN_0F5A&DEV_0601", WXP4}, {"USB\\VID_0F5A&PID_0901", WXU6},
                {"PCI\\VEN_0F5A&DEV_0601", WXP5}};  // a duplicate: the first entry wins
  struct Row {
    const char* id;
    bool candidate;
    bool usb;
    bool pci;
    ChipFamily family;
    bool isUsbAdapter;
  } rows[] = {
      {"PCI\\VEN_0F5A&DEV_0601", true, false, true, WXP4, false},
      {"USB\\VID_0F5A&PID_0901", true, true, false, WXU6, true},
      {"PCI\\VEN_0F5A&DEV_0602", false, false, false, CHIP_FAMILY_NONE, false},
      {"PCI\\VEN_0F5A&DEV_060", false, false, false, CHIP_FAMILY_NONE, false},  // no prefix match
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.id);
    AdapterInfo info;
    MatchFlags flags;
    EXPECT_EQ(MatchHardwareId(tables, row.id, info, flags), row.candidate);
    EXPECT_EQ(flags.matchedUsb, row.usb);
    EXPECT_EQ(flags.matchedPci, row.pci);
    EXPECT_EQ(info.chipFamily, row.family);
    EXPECT_EQ(info.isUsbAdapter, row.isUsbAdapter);
  }
}

TEST(MatchHardwareId, FlagsAreResetForEachDevice) {
  DeviceIdTables tables;
  tables.ini = {{"USB\\VID_0F5A&PID_0701", WXU4}, {"PCI\\VEN_0F5A&DEV_0601", WXP4}};
  AdapterInfo info;
  MatchFlags flags;
  ASSERT_TRUE(MatchHardwareId(tables, "USB\\VID_0F5A&PID_0701", info, flags));
  EXPECT_TRUE(flags.matchedUsb);
  EXPECT_TRUE(info.isUsbAdapter);

  ASSERT_TRUE(MatchHardwareId(tables, "PCI\\VEN_0F5A&DEV_0601", info, flags));
  EXPECT_FALSE(flags.matchedUsb);  // the USB device's flag does not carry over
  EXPECT_TRUE(flags.matchedPci);
  EXPECT_FALSE(info.isUsbAdapter);
  EXPECT_EQ(info.chipFamily, WXP4);

  // A miss clears the flags but leaves the adapter's family and bus as they were.
  EXPECT_FALSE(MatchHardwareId(tables, "PCI\\VEN_1111&DEV_2222", info, flags));
  EXPECT_FALSE(flags.candidate());
  EXPECT_EQ(info.chipFamily, WXP4);
}

TEST(MatchHardwareId, BuiltInTablesServeOnlyWhenTheIniTableIsEmpty) {
  DeviceIdTables tables;
  tables.builtInUsb = {{"USB\\VID_0F5A&PID_0101", WXU1}};
  tables.builtInPci = {{"PCI\\VEN_0F5A&DEV_0401", WXP3}};
  AdapterInfo info;
  MatchFlags flags;
  EXPECT_TRUE(MatchHardwareId(tables, "USB\\VID_0F5A&PID_0101", info, flags));
  EXPECT_TRUE(flags.matchedUsb);
  EXPECT_EQ(info.chipFamily, WXU1);
  EXPECT_TRUE(MatchHardwareId(tables, "PCI\\VEN_0F5A&DEV_0401", info, flags));
  EXPECT_TRUE(flags.matchedPci);
  EXPECT_FALSE(info.isUsbAdapter);
  EXPECT_EQ(info.chipFamily, WXP3);

  tables.ini = {{"PCI\\VEN_0F5A&DEV_0601", WXP4}};
  EXPECT_FALSE(MatchHardwareId(tables, "USB\\VID_0F5A&PID_0101", info, flags));
}

TEST(MatchHardwareId, LongAndLowerCaseIdentifiersMatchOnTheirPrefix) {
  DeviceIdTables tables;
  tables.ini = {{"PCI\\VEN_0F5A&DEV_0601", WXP4}};
  for (const char* reported :
       {"PCI\\VEN_0F5A&DEV_0601&SUBSYS_00000000&REV_01", "pci\\ven_0f5a&dev_0601&subsys_1",
        "PCI\\VEN_0F5A&DEV_0601"}) {
    SCOPED_TRACE(reported);
    AdapterInfo info;
    MatchFlags flags;
    EXPECT_TRUE(MatchHardwareId(tables, HardwareIdPrefix(reported), info, flags));
    EXPECT_EQ(info.chipFamily, WXP4);
  }
}

}  // namespace
}  // namespace ov
