// The registry entries of a simulated adapter: the Enum node and driver key as discovery reads
// them, parameters created only when missing, and the parameters read back as the driver does.
#include <gtest/gtest.h>

#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "sim/adapter_registry.h"
#include "tests/sim/sim_test_support.h"
#include "tests/support/temp_dir.h"

namespace ov::sim {
namespace {

class AdapterRegistryTest : public ::testing::Test {
 protected:
  ~AdapterRegistryTest() override { registry_detail::CloseConnections(); }

  AdapterRegistryPaths write(const AdapterSpec& spec) {
    AdapterRegistryPaths paths;
    std::string error;
    EXPECT_TRUE(WriteAdapterRegistry(spec, &paths, &error)) << error;
    return paths;
  }
  std::string text(const std::string& key, const char* name) {
    return RegReadString(HKEY_LOCAL_MACHINE, key, name).value_or("<missing>");
  }

  ov::test::TempDir dir_;
  ov::test::ScopedMachineRoot root_{dir_.path()};
};

TEST_F(AdapterRegistryTest, WritesTheEnumNodeAndDriverKeyDiscoveryReads) {
  AdapterSpec spec = test::MakeSpec();
  AdapterRegistryPaths paths = write(spec);
  EXPECT_EQ(paths.enumKey,
            "SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_0F5A&DEV_0601&SUBSYS_00010F5A\\4&0F000601&0&00E0");
  EXPECT_EQ(paths.driverKeyName, "{4d36e972-e325-11ce-bfc1-08002be10318}\\0000");
  EXPECT_EQ(paths.driverKey,
            "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0000");

  const std::string& e = paths.enumKey;
  EXPECT_EQ(RegReadMultiString(HKEY_LOCAL_MACHINE, e, "HardwareID"),
            std::vector<std::string>{"PCI\\VEN_0F5A&DEV_0601&SUBSYS_00010F5A"});
  EXPECT_EQ(RegReadMultiString(HKEY_LOCAL_MACHINE, e, "CompatibleIDs"),
            (std::vector<std::string>{"PCI\\VEN_0F5A&DEV_0601&CC_028000", "PCI\\VEN_0F5A&CC_028000",
                                      "PCI\\VEN_0F5A", "PCI\\CC_028000", "PCI\\CC_0280"}));
  struct Row {
    const char* name;
    std::string expected;
  };
  for (const Row& row : {Row{"FriendlyName", "Test Adapter"},
                         Row{"DeviceDesc", "Test Adapter Description"},
                         Row{"Driver", "{4d36e972-e325-11ce-bfc1-08002be10318}\\0000"},
                         Row{"LocationInformation", "PCI bus 3, device 0, function 0"},
                         Row{"Mfg", "Orvane"},
                         Row{"ClassGUID", "{4d36e972-e325-11ce-bfc1-08002be10318}"}}) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(text(e, row.name), row.expected);
  }
  const std::string& d = paths.driverKey;
  EXPECT_EQ(text(d, "NetCfgInstanceId"), "{0F5A51D0-0000-4000-8000-025A0F000601}");
  EXPECT_EQ(text(d, "DriverDesc"), "Test Adapter Description");
  for (const Row& row : {Row{"WirelessMode", "5"}, Row{"CountryRegion", "1"},
                         Row{"CountryRegionABand", "7"}, Row{"Channel", "6"}, Row{"TXBurst", "1"},
                         Row{"BGProtection", "0"}, Row{"Radio", "0"}, Row{"OpMode", "0"},
                         Row{"WMMCapable", "0"}, Row{"APSDAC_VO", "0"}, Row{"WMMMacAddr", ""}}) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(text(d, row.name), row.expected);
  }
  // Values whose absence means something of its own are not invented.
  for (const char* absent : {"CountryWirelessMode", "TransmitSetting", "BACapability", "CCX2Control"}) {
    SCOPED_TRACE(absent);
    RegValue value;
    EXPECT_EQ(RegReadValue(HKEY_LOCAL_MACHINE, d, absent, &value), ERROR_FILE_NOT_FOUND);
  }
}

TEST_F(AdapterRegistryTest, DefaultsFollowTheAdaptersCapabilities) {
  struct Row {
    ChipFamily family;
    bool band5;
    const char* wirelessMode;
    const char* countryRegion;
    const char* txBurst;
  };
  for (Row row : {Row{WXP4, true, "5", "1", "1"}, Row{WXU6, false, "9", "1", "1"},
                  Row{WXP3, true, "3", "1", "0"}, Row{WXU1, false, "0", "2", "0"}}) {
    SCOPED_TRACE(::testing::Message() << "family " << row.family);
    AdapterSpec spec = test::MakeSpec(row.family, 1, row.band5);
    auto values = DefaultParameterValues(spec);
    auto value = [&](const std::string& name) {
      for (const auto& [n, v] : values) {
        if (n == name) return v;
      }
      return std::string("<missing>");
    };
    EXPECT_EQ(value("WirelessMode"), row.wirelessMode);
    EXPECT_EQ(value("CountryRegion"), row.countryRegion);
    EXPECT_EQ(value("TXBurst"), row.txBurst);
  }
  AdapterSpec usb = test::MakeSpec(WXU4, 2, false);
  EXPECT_EQ(CompatibleIdsFor(usb).front(), "USB\\Class_FF&SubClass_FF&Prot_FF");
}

TEST_F(AdapterRegistryTest, ARestartKeepsTheUsersParametersAndTheDriverKey) {
  AdapterSpec spec = test::MakeSpec();
  AdapterRegistryPaths first = write(spec);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, first.driverKey, "WirelessMode", "9"), ERROR_SUCCESS);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, first.driverKey, "DriverDesc", "edited"), ERROR_SUCCESS);
  RegKey key;
  ASSERT_EQ(key.open(HKEY_LOCAL_MACHINE, first.driverKey, KEY_ALL_ACCESS), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteValue(key.get(), "Channel"), ERROR_SUCCESS);
  key.reset();

  spec.friendlyName = "";  // the scenario no longer names it
  AdapterRegistryPaths second = write(spec);
  EXPECT_EQ(second.driverKey, first.driverKey);
  EXPECT_EQ(text(second.driverKey, "WirelessMode"), "9");       // the user's
  EXPECT_EQ(text(second.driverKey, "Channel"), "6");            // missing again: the default
  EXPECT_EQ(text(second.driverKey, "DriverDesc"), "Test Adapter Description");  // identity
  EXPECT_EQ(text(second.enumKey, "FriendlyName"), "<missing>");
}

TEST_F(AdapterRegistryTest, EachAdapterGetsADriverKeyOfItsOwn) {
  // A key of some other network adapter is there already.
  std::string other = std::string(kNetClassKey) + "\\0000";
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, other, "NetCfgInstanceId", "{OTHER}"), ERROR_SUCCESS);
  AdapterSpec a = test::MakeSpec();
  AdapterSpec b = test::MakeSpec(WXU4, 2, false);
  b.name = "usb0";
  b.mac[5] = 0x02;
  b.guid = "{0F5A51D0-0000-4000-8000-025A0F000602}";
  b.instance = "025A0F000602";
  AdapterRegistryPaths pa = write(a);
  AdapterRegistryPaths pb = write(b);
  EXPECT_EQ(pa.driverKeyName.substr(pa.driverKeyName.size() - 4), "0001");
  EXPECT_EQ(pb.driverKeyName.substr(pb.driverKeyName.size() - 4), "0002");
  EXPECT_EQ(pb.enumKey, "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0F5A&PID_0701\\025A0F000602");
  EXPECT_EQ(text(other, "NetCfgInstanceId"), "{OTHER}");
  // Written again in the other order, each keeps its key.
  EXPECT_EQ(write(b).driverKey, pb.driverKey);
  EXPECT_EQ(write(a).driverKey, pa.driverKey);
}

TEST_F(AdapterRegistryTest, ParametersReadAsTheDriverReadsThem) {
  AdapterSpec spec = test::MakeSpec();
  AdapterRegistryPaths paths = write(spec);
  EXPECT_EQ(ReadAdapterParameters(spec, paths.driverKey), DefaultAdapterParameters(spec));

  const std::string& d = paths.driverKey;
  RegWriteString(HKEY_LOCAL_MACHINE, d, "WirelessMode", " 9");        // leading blank
  RegWriteString(HKEY_LOCAL_MACHINE, d, "Channel", "11abc");          // digits then junk
  RegWriteString(HKEY_LOCAL_MACHINE, d, "CountryRegion", "five");     // no number: default
  RegWriteDword(HKEY_LOCAL_MACHINE, d, "BGProtection", 2);            // a number stored as one
  RegWriteString(HKEY_LOCAL_MACHINE, d, "Radio", "1");
  RegWriteDword(HKEY_LOCAL_MACHINE, d, "TransmitSetting", 0x1234);
  RegWriteString(HKEY_LOCAL_MACHINE, d, "BACapability", "7");          // DWORD expected: ignored
  AdapterParameters p = ReadAdapterParameters(spec, d);
  EXPECT_EQ(p.wirelessMode, 9);
  EXPECT_EQ(p.channel, 11u);
  EXPECT_EQ(p.countryRegion, DefaultAdapterParameters(spec).countryRegion);
  EXPECT_EQ(p.bgProtection, 2u);
  EXPECT_TRUE(p.radioOff);
  EXPECT_EQ(p.transmitSetting, 0x1234u);
  EXPECT_FALSE(p.baCapability.has_value());
  // A key that does not exist gives the defaults.
  EXPECT_EQ(ReadAdapterParameters(spec, d + "\\missing"), DefaultAdapterParameters(spec));
}

}  // namespace
}  // namespace ov::sim
