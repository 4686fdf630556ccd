// The simulated machine in-process: registry entries and device sockets for every adapter, and
// the control commands (list, unplug, plug, busy, signal) with their replies.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "platform/system/machine_root.h"
#include "platform/time/virtual_clock.h"
#include "sim/sim_daemon.h"
#include "tests/sim/sim_test_support.h"
#include "tests/support/temp_dir.h"

namespace ov::sim {
namespace {

namespace fs = std::filesystem;

class SimDaemonTest : public ::testing::Test {
 protected:
  SimDaemonTest() {
    AdapterSpec usb = test::MakeSpec(WXU1, 1, false);
    usb.name = "usb0";
    usb.hardwareId = "USB\\VID_0F5A&PID_0101";
    usb.mac[5] = 0x02;
    usb.guid = "{0F5A51D0-0000-4000-8000-025A0F000602}";
    usb.instance = "025A0F000602";
    scenario_.adapters = {test::MakeSpec(), usb};
  }
  ~SimDaemonTest() override {
    daemon_.stop();
    registry_detail::CloseConnections();
  }

  fs::path socketOf(const char* guid) const {
    return UnderRoot(std::string("run/ovui/devices/") + guid);
  }
  uint32_t ask(const char* name, uint32_t oid) {
    test::Answer a = test::Ask(*daemon_.adapter(name), oid, 4);
    return a.status == 0 ? a.bytes[0] | a.bytes[1] << 8 | a.bytes[2] << 16 | a.bytes[3] << 24 : 0xDEAD;
  }

  ov::test::TempDir dir_;
  ov::test::ScopedMachineRoot root_{dir_.path()};
  VirtualClock clock_;
  TimerServiceSimClock simClock_{clock_};
  Scenario scenario_;
  SimDaemon daemon_{simClock_};
};

const char* kWlanGuid = "{0F5A51D0-0000-4000-8000-025A0F000601}";
const char* kUsbGuid = "{0F5A51D0-0000-4000-8000-025A0F000602}";

TEST_F(SimDaemonTest, StartWritesTheRegistryAndPlugsEveryAdapter) {
  std::string error;
  ASSERT_TRUE(daemon_.start(scenario_, &error)) << error;
  EXPECT_TRUE(fs::exists(socketOf(kWlanGuid)));
  EXPECT_TRUE(fs::exists(socketOf(kUsbGuid)));
  const AdapterRegistryPaths* paths = daemon_.registryPaths("usb0");
  ASSERT_NE(paths, nullptr);
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, paths->driverKey, "NetCfgInstanceId"), kUsbGuid);
  EXPECT_EQ(daemon_.execute("list"), "ok wlan0:plugged usb0:plugged");
}

TEST_F(SimDaemonTest, ControlCommandsAnswerOkOrError) {
  std::string error;
  ASSERT_TRUE(daemon_.start(scenario_, &error)) << error;
  struct Row {
    const char* line;
    const char* reply;
  };
  const Row rows[] = {
      {"busy wlan0 250", "ok busy wlan0 250"},
      {"  busy   WLAN0 0 ", "ok busy wlan0 0"},  // blanks and letter case do not matter
      {"signal usb0 -70", "ok signal usb0 -70"},
      {"signal usb0 5", "error signal: DBM must be a whole number from -120 to 0"},
      {"signal usb0 -7x", "error signal: DBM must be a whole number from -120 to 0"},
      {"busy wlan0 -1", "error busy: MS must be a whole number from 0 to 3600000"},
      {"busy wlan0", "error usage: busy NAME MS"},
      {"plug", "error usage: plug NAME"},
      {"list all", "error usage: list"},
      {"unplug wlan9", "error no adapter named \"wlan9\""},
      {"reboot wlan0", "error unknown command \"reboot\" (list, plug, unplug, busy, signal, radio, ap)"},
      {"", "error empty command (list, plug, unplug, busy, signal, radio, ap)"},
      {"radio wlan0 off", "ok radio wlan0 off"},
      {"radio wlan0 maybe", "error radio: say on or off"},
      {"radio wlan0", "error usage: radio NAME on|off"},
      {"ap add {\"ssid\":\"Cafe\",\"bssid\":\"02:5A:0F:20:00:01\",\"channel\":6}", "ok added 02:5A:0F:20:00:01"},
      {"ap add {\"ssid\":\"Cafe\",\"bssid\":\"02:5A:0F:20:00:01\",\"channel\":6}",
       "error ap add: an access point with BSSID 02:5A:0F:20:00:01 exists already"},
      {"ap add {\"ssid\":\"Cafe\"}", "error ap add: bssid: missing (a unicast MAC address)"},
      {"ap add", "error ap add: an access point must be a JSON object"},
      {"ap move 02-5a-0f-20-00-01 -80", "ok moved 02:5A:0F:20:00:01 -80"},
      {"ap list", "ok 02:5A:0F:20:00:01/6/-80/43616665"},
      {"ap move 02:5A:0F:20:00:01 1", "error ap move: DBM must be a whole number from -120 to 0"},
      {"ap move 02:5A:0F:20:00:09 -50", "error no access point 02:5A:0F:20:00:09"},
      {"ap remove 02:5A:0F:20:00:01", "ok removed 02:5A:0F:20:00:01"},
      {"ap remove 02:5A:0F:20:00:01", "error no access point 02:5A:0F:20:00:01"},
      {"ap remove nonsense", "error ap remove: \"nonsense\" is not a BSSID"},
      {"ap list", "ok"},
      {"ap fly", "error usage: ap list | ap add JSON | ap remove BSSID | ap move BSSID DBM"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(daemon_.execute(row.line), row.reply);
  }
  EXPECT_EQ(static_cast<int32_t>(ask("usb0", OID_VND_RSSI0.query)), -70);
  EXPECT_EQ(ask("wlan0", OID_VND_EXTRA_INFO.query), EXTRA_INFO_HW_RADIO_OFF);
}

TEST_F(SimDaemonTest, WirelessServiceHasAnInterfacePerAdapterAndFollowsPlugging) {
  std::string error;
  ASSERT_TRUE(daemon_.start(scenario_, &error)) << error;
  WlanServiceCore& wlan = daemon_.wlanService();
  wlan::ClientHandle handle = wlan.openHandle(1, {2}).handle;
  auto descriptions = [&] {
    std::vector<std::string> out;
    for (const auto& i : wlan.enumInterfaces(1, {handle}).interfaces) out.push_back(i.description);
    return out;
  };
  EXPECT_EQ(descriptions(), (std::vector<std::string>{"Test Adapter", "Test Adapter"}));
  ASSERT_EQ(daemon_.execute("unplug usb0"), "ok unplugged usb0");
  EXPECT_EQ(descriptions().size(), 1u);
  ASSERT_EQ(daemon_.execute("plug usb0"), "ok plugged usb0");
  EXPECT_EQ(descriptions().size(), 2u);
}

TEST_F(SimDaemonTest, BusyMakesSetsFailForItsTime) {
  std::string error;
  ASSERT_TRUE(daemon_.start(scenario_, &error)) << error;
  ASSERT_EQ(daemon_.execute("busy wlan0 500"), "ok busy wlan0 500");
  SimulatedAdapter& wlan = *daemon_.adapter("wlan0");
  EXPECT_EQ(test::Ask(wlan, OID_VND_OP_MODE.set | OidSetMask, 4, {1, 0, 0, 0}).status, kStatusBusy);
  EXPECT_FALSE(daemon_.adapter("usb0")->busy());  // only the one adapter
  clock_.advance(500);
  EXPECT_EQ(test::Ask(wlan, OID_VND_OP_MODE.set | OidSetMask, 4, {1, 0, 0, 0}).status, kStatusSuccess);
}

TEST_F(SimDaemonTest, UnplugRemovesTheSocketAndPlugRestartsFromTheRegistry) {
  std::string error;
  ASSERT_TRUE(daemon_.start(scenario_, &error)) << error;
  const AdapterRegistryPaths paths = *daemon_.registryPaths("wlan0");

  EXPECT_EQ(daemon_.execute("unplug wlan0"), "ok unplugged wlan0");
  EXPECT_FALSE(fs::exists(socketOf(kWlanGuid)));
  EXPECT_TRUE(fs::exists(socketOf(kUsbGuid)));
  // The host keeps a removed device's Enum node; presence is the socket alone.
  EXPECT_TRUE(RegReadString(HKEY_LOCAL_MACHINE, paths.enumKey, "Driver").has_value());
  EXPECT_EQ(daemon_.execute("list"), "ok wlan0:unplugged usb0:plugged");
  EXPECT_EQ(daemon_.execute("unplug wlan0"), "ok unplugged wlan0");  // already gone

  // Changed while unplugged: the driver takes it when it starts again.
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, paths.driverKey, "OpMode", "1"), ERROR_SUCCESS);
  EXPECT_EQ(ask("wlan0", OID_VND_OP_MODE.query), 0u);
  EXPECT_EQ(daemon_.execute("plug wlan0"), "ok plugged wlan0");
  EXPECT_TRUE(fs::exists(socketOf(kWlanGuid)));
  EXPECT_EQ(ask("wlan0", OID_VND_OP_MODE.query), 1u);
  EXPECT_EQ(daemon_.execute("plug wlan0"), "ok plugged wlan0");  // already there

  daemon_.stop();
  EXPECT_FALSE(fs::exists(socketOf(kWlanGuid)));
  EXPECT_FALSE(fs::exists(socketOf(kUsbGuid)));
}

TEST_F(SimDaemonTest, AFailedStartLeavesNothingServing) {
  // The second adapter's socket cannot be made: a folder stands where it would go.
  fs::create_directories(socketOf(kUsbGuid) / "blocker");
  std::string error;
  EXPECT_FALSE(daemon_.start(scenario_, &error));
  EXPECT_NE(error.find("usb0: cannot create the device socket"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(socketOf(kWlanGuid)));
  EXPECT_EQ(daemon_.adapter("wlan0"), nullptr);
  EXPECT_EQ(daemon_.execute("list"), "ok");
}

}  // namespace
}  // namespace ov::sim
