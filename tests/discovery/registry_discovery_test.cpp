// Discovery end to end: devices in the registry of a sandbox machine root, a device socket with
// a scripted driver, the program INI, and the registry implementation of the device seam.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "driver/discovery/adapter_discovery.h"
#include "driver/oid/oid_constants.h"
#include "driver/params/adapter_params.h"
#include "platform/deviceio/device_protocol.h"
#include "platform/deviceio/device_socket_server.h"
#include "platform/time/virtual_clock.h"
#include "tests/params/registry_sandbox.h"

namespace ov {
namespace {

const std::string kGuidPresent = "{0A1B2C3D-0000-4000-8000-000000000601}";
const std::string kGuidAbsent = "{0A1B2C3D-0000-4000-8000-000000000602}";
const std::string kEnum = "SYSTEM\\CurrentControlSet\\Enum";
const std::string kClass =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}";

class RegistryDiscoveryTest : public test::RegistrySandbox {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(DeviceSocketFolder());
    ini = dir.file("OvUI.INI");
    test::WriteFileBytes(ini, "[WXP4]\r\nDeviceID_1=PCI\\VEN_0F5A&DEV_0601\r\n");
  }

  void addDevice(const std::string& instance, const std::string& classGuid,
                 const std::string& hardwareId, const std::string& driverNumber,
                 const std::string& netCfgInstanceId, const std::string& friendlyName) {
    const std::string key = kEnum + "\\" + instance;
    PutString(key, "ClassGUID", classGuid);
    Put(key, "HardwareID", REG_MULTI_SZ, EncodeMultiString({hardwareId, "PCI\\CC_0280"}));
    if (!friendlyName.empty()) PutString(key, "FriendlyName", friendlyName);
    PutString(key, "DeviceDesc", "Wireless adapter " + driverNumber);
    PutString(key, "Driver", "{4D36E972-E325-11CE-BFC1-08002BE10318}\\" + driverNumber);
    PutString(key, "LocationInformation", "PCI bus 3, device 0, function 0");
    PutString(key, "Mfg", "Test maker");
    PutString(kClass + "\\" + driverNumber, "NetCfgInstanceId", netCfgInstanceId);
    PutString(kClass + "\\" + driverNumber, "DriverDesc", friendlyName);
  }

  // A driver that is ready and answers nothing else.
  bool startDriver(const std::string& guid) {
    return server.start(*DeviceSocketPath(DevicePathFor(guid)),
                        [this](uint32_t, uint32_t oid, std::vector<uint8_t>& buffer,
                               uint32_t* returned) -> uint32_t {
                          ++requests;
                          if (oid != OID_VND_NIC_READY.query || buffer.size() < 4) return 1;
                          buffer[0] = 1;
                          *returned = 4;
                          return 0;
                        });
  }

  std::string ini;
  DeviceSocketServer server;
  std::atomic<int> requests{0};
};

TEST_F(RegistryDiscoveryTest, FindsThePresentAdapterAndFillsTheRecord) {
  const std::string pciDevice = "PCI\\VEN_0F5A&DEV_0601&SUBSYS_00010F5A&REV_01";
  addDevice(pciDevice + "\\4&1A2B3C&0&00E1", kNetClassGuid, pciDevice, "0007", kGuidPresent,
            "Test 802.11n adapter");
  addDevice(pciDevice + "\\4&1A2B3C&0&00E2", kNetClassGuid, pciDevice, "0008", kGuidAbsent,
            "Unplugged adapter");
  addDevice("PCI\\VEN_0F5A&DEV_0601\\5&0", "{4d36e96c-e325-11ce-bfc1-08002be10318}", pciDevice,
            "0009", "{0A1B2C3D-0000-4000-8000-000000000609}", "Not a network device");
  Put(kClass + "\\0007", "CountryWirelessMode", REG_BINARY, std::string("\x00\x02\x00\x10", 4));
  ASSERT_TRUE(startDriver(kGuidPresent));

  RegistryNetDeviceSource source;
  auto listed = source.EnumerateNetDevices();
  ASSERT_TRUE(listed);
  ASSERT_EQ(listed->size(), 1u);  // the unplugged one and the other class are not listed
  const NetDevice& device = listed->front();
  EXPECT_EQ(device.instancePath, pciDevice + "\\4&1A2B3C&0&00E1");
  EXPECT_EQ(device.hardwareIds, (std::vector<std::string>{pciDevice, "PCI\\CC_0280"}));
  EXPECT_EQ(device.friendlyName, "Test 802.11n adapter");
  EXPECT_EQ(device.deviceDesc, "Wireless adapter 0007");
  EXPECT_EQ(device.locationInformation, "PCI bus 3, device 0, function 0");
  EXPECT_EQ(device.mfg, "Test maker");
  EXPECT_EQ(source.ReadDriverString(device, "NetCfgInstanceId"), kGuidPresent);

  SocketDeviceIo io;
  VirtualClock clock;
  OidChannel channel(io, clock);
  AdapterDiscovery discovery(source, io, channel, LoadDeviceIdTables(ini));
  AdapterInfo info;
  ASSERT_TRUE(discovery.DiscoverAdapter(info));
  EXPECT_EQ(info.chipFamily, WXP4);
  EXPECT_EQ(info.hardwareId, "PCI\\VEN_0F5A&DEV_0601");
  EXPECT_EQ(info.description, "Test 802.11n adapter");
  EXPECT_EQ(info.netCfgInstanceId, kGuidPresent);
  EXPECT_EQ(info.devicePath, DevicePathFor(kGuidPresent));
  EXPECT_EQ(info.adapterKeyPath,
            "System\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}"
            "\\0007");
  // The region allows the 5 GHz band but not 802.11n.
  EXPECT_FALSE(info.htCapable);
  EXPECT_GE(requests.load(), 1);
  // The parameters are read from the key discovery named.
  EXPECT_EQ(ReadTextParam(info.adapterKeyPath, param::kDriverDesc), "Test 802.11n adapter");
  EXPECT_EQ(ReadCountryWirelessMode(info.adapterKeyPath), 0x10000200u);

  // Once the device socket is gone the adapter is no longer found.
  server.stop();
  EXPECT_FALSE(discovery.DiscoverAdapter(info));
  EXPECT_EQ(info.netCfgInstanceId, kGuidPresent);  // the record stays as it was
}

TEST_F(RegistryDiscoveryTest, EmptyMachineHasNoDevices) {
  RegistryNetDeviceSource source;
  auto listed = source.EnumerateNetDevices();
  ASSERT_TRUE(listed);
  EXPECT_TRUE(listed->empty());
}

TEST_F(RegistryDiscoveryTest, PresenceTestCanBeReplaced) {
  addDevice("USB\\VID_0F5A&PID_0701\\1", kNetClassGuid, "USB\\VID_0F5A&PID_0701", "0010",
            kGuidAbsent, "");
  RegistryNetDeviceSource everyDevice([](RegistryNetDeviceSource&, const NetDevice&) {
    return true;
  });
  auto listed = everyDevice.EnumerateNetDevices();
  ASSERT_TRUE(listed);
  ASSERT_EQ(listed->size(), 1u);
  EXPECT_EQ(listed->front().displayName(), "Wireless adapter 0010");
  EXPECT_EQ(listed->front().driver, "{4D36E972-E325-11CE-BFC1-08002BE10318}\\0010");
}

}  // namespace
}  // namespace ov
