// The driver road end to end against the real simulator: discovery finds the simulated adapter,
// requests cross its device socket, a busy driver's sets wait in the retry queue, an unplugged
// adapter drops that queue at the next tick and fails requests at once, and a re-plugged adapter
// is found again.
#include <gtest/gtest.h>

#include "driver/discovery/adapter_discovery.h"
#include "driver/discovery/device_id_table.h"
#include "driver/discovery/net_devices.h"
#include "driver/oid/oid_requests.h"
#include "driver/oid_channel.h"
#include "platform/deviceio/device_io.h"
#include "platform/time/virtual_clock.h"
#include "sim/sim_control_client.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

class DriverAccessEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sim_.ready()) << sim_.output(); }

  void control(const std::string& line) {
    std::string reply, error;
    ASSERT_TRUE(sim::SimControlRequest(line, &reply, &error)) << line << ": " << error;
    ASSERT_EQ(reply.rfind("ok", 0), 0u) << line << ": " << reply;
  }

  bool discover(AdapterInfo& info) {
    // The monitor asks once per tick; a driver that is still starting is accepted on the
    // fourth ask, so four asks always settle it.
    for (int attempt = 0; attempt <= kNotReadyAttempts; ++attempt) {
      if (discovery_.DiscoverAdapter(info)) return true;
      if (discovery_.readinessCounter() == 0) return false;
    }
    return false;
  }

  test::TempDir root_;
  test::ScopedMachineRoot scopedRoot_{root_.path()};
  test::SimulatorProcess sim_{OVUI_BIN_DIR,
                              std::filesystem::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json",
                              root_.path()};
  RegistryNetDeviceSource devices_;
  SocketDeviceIo deviceIo_;
  VirtualClock clock_;
  OidChannel channel_{deviceIo_, clock_};
  AdapterDiscovery discovery_{devices_, deviceIo_, channel_,
                              LoadDeviceIdTables(std::string(OVUI_BIN_DIR) + "/OvUI.INI")};
};

TEST_F(DriverAccessEndToEnd, DiscoversQueriesAndSetsOverTheSocket) {
  AdapterInfo info;
  ASSERT_TRUE(discover(info));
  EXPECT_EQ(info.chipFamily, WXP4);
  EXPECT_EQ(info.hardwareId, "PCI\\VEN_0F5A&DEV_0601");
  channel_.setDevicePath(info.devicePath);

  MacAddress mac{};
  ASSERT_TRUE(QueryCurrentAddress(channel_, mac));
  EXPECT_EQ(mac, (MacAddress{0x02, 0x5A, 0x0F, 0x00, 0x06, 0x01}));

  // A set goes out marked and the driver applies it: the query reads it back.
  CountryRegion before;
  ASSERT_TRUE(QueryCountryRegion(channel_, before));
  EXPECT_EQ(SetCountryRegion(channel_, 5, 2, true, true), SetResult::Sent);
  CountryRegion after;
  ASSERT_TRUE(QueryCountryRegion(channel_, after));
  EXPECT_EQ(after.Region24, 5);
  EXPECT_EQ(after.Region5, 2);
}

TEST_F(DriverAccessEndToEnd, BusyDriverQueuesSetsAndUnplugDropsThem) {
  AdapterInfo info;
  ASSERT_TRUE(discover(info));
  channel_.setDevicePath(info.devicePath);

  control("busy wlan0 60000");
  EXPECT_FALSE(SetPhyMode(channel_, WirelessMode(9)));
  EXPECT_EQ(channel_.PendingSetQueue().size(), 1u);
  clock_.advance(500);  // the first retry meets the same busy driver
  ASSERT_EQ(channel_.PendingSetQueue().size(), 1u);
  EXPECT_EQ(channel_.PendingSetQueue()[0].RetriesLeft, 1);

  control("unplug wlan0");
  uint32_t value = 0;
  EXPECT_FALSE(QueryNicReady(channel_, value)) << "requests fail at once while unplugged";
  EXPECT_FALSE(channel_.IsDevicePresent());
  clock_.advance(500);  // the next tick finds the device gone and drops the queue
  EXPECT_TRUE(channel_.PendingSetQueue().empty());
  EXPECT_EQ(clock_.activeCount(), 0u);
  AdapterInfo none = info;
  EXPECT_FALSE(discovery_.DiscoverAdapter(none));

  control("plug wlan0");
  AdapterInfo again;
  ASSERT_TRUE(discover(again));
  EXPECT_EQ(again.devicePath, info.devicePath);
  channel_.setDevicePath(again.devicePath);
  EXPECT_TRUE(channel_.IsDevicePresent());
}

}  // namespace
}  // namespace ov
