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
      {"reboot wlan0", "error unknown command \"reboot\" (list, plug, unplug, busy, signal, radio, wps-button, ap, stations, station)"},
      {"", "error empty command (list, plug, unplug, busy, signal, radio, wps-button, ap, stations, station)"},
      {"radio wlan0 off", "ok radio wlan0 off"},
      {"radio wlan0 maybe", "error radio: say on or off"},
      {"radio wlan0", "error usage: radio NAME on|off"},
      {"wps-button wlan0", "ok wps-button wlan0"},
      {"wps-button", "error usage: wps-button NAME"},
      {"wps-button nosuch", "error no adapter named \"nosuch\""},
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

// OpMode 1 makes the adapter an access point: whether it arrives as OID_VND_OP_MODE or with a
// driver restart, the station link goes and no station work is done until OpMode is 0 again.
TEST_F(SimDaemonTest, AccessPointModeTakesTheStationLinkAwayUntilStationModeReturns) {
  scenario_.adapters[0].apStations = {{{0x02, 0x5A, 0x0F, 0x30, 0x00, 0x01}, -41},
                                      {{0x02, 0x5A, 0x0F, 0x30, 0x00, 0x02}, -67}};
  std::string error;
  ASSERT_TRUE(daemon_.start(scenario_, &error)) << error;
  ASSERT_EQ(daemon_.execute(R"(ap add {"ssid":"Open","bssid":"02:5A:0F:10:00:01","channel":1,"signal_dbm":-50})"),
            "ok added 02:5A:0F:10:00:01");
  WlanServiceCore& wlan = daemon_.wlanService();
  const wlan::Guid guid = *wlan::ParseGuid(kWlanGuid);
  const wlan::ClientHandle handle = wlan.openHandle(1, {2}).handle;
  ASSERT_EQ(wlan.registerNotification(1, {handle, wlan::WLAN_NOTIFICATION_SOURCE_ACM, false}).status,
            wlan::ERROR_SUCCESS);
  const std::string open =
      "<?xml version=\"1.0\"?><WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">"
      "<name>Open</name><SSIDConfig><SSID><hex>4F70656E</hex><name>Open</name></SSID></SSIDConfig><connectionType>ESS"
      "</connectionType><connectionMode>auto</connectionMode><MSM><security><authEncryption><authentication>"
      "open</authentication><encryption>none</encryption><useOneX>false</useOneX></authEncryption>"
      "</security></MSM></WLANProfile>";
  ASSERT_EQ(wlan.setProfile(1, {handle, guid, 0, open, true}).status, wlan::ERROR_SUCCESS);
  auto connect = [&] {
    wlan::ConnectionParameters p;
    p.profile = "Open";
    return wlan.connect(1, {handle, guid, p}).status;
  };
  auto codesAfter = [&](int64_t ms) {
    clock_.advance(ms);
    wlan.advance();
    std::vector<uint32_t> codes;
    for (const OutgoingNotification& n : wlan.takeNotifications()) codes.push_back(n.notification.code);
    return codes;
  };
  auto setOpMode = [&](uint8_t mode) {
    return test::Ask(*daemon_.adapter("wlan0"), OID_VND_OP_MODE.set | OidSetMask, 4, {mode, 0, 0, 0}).status;
  };
  ASSERT_EQ(connect(), wlan::ERROR_SUCCESS);
  codesAfter(1000);
  ASSERT_EQ(ask("wlan0", OID_VND_EXTRA_INFO.query), EXTRA_INFO_LINK_UP);
  EXPECT_EQ(daemon_.execute("stations wlan0"), "error wlan0 is a station, not an access point");

  ASSERT_EQ(setOpMode(1), kStatusSuccess);
  EXPECT_EQ(codesAfter(0), std::vector<uint32_t>{wlan::wlan_notification_acm_disconnected});
  EXPECT_EQ(ask("wlan0", OID_VND_EXTRA_INFO.query), EXTRA_INFO_LINK_DOWN);
  EXPECT_EQ(connect(), wlan::ERROR_INVALID_STATE);
  EXPECT_EQ(wlan.scan(1, {handle, guid, std::nullopt, {}}).status, wlan::ERROR_INVALID_STATE);
  EXPECT_EQ(daemon_.execute("stations wlan0"), "ok 02:5A:0F:30:00:01/-41 02:5A:0F:30:00:02/-67");
  // The access-point utility knows the adapter by its NetCfgInstanceId.
  EXPECT_EQ(daemon_.execute(std::string("stations ") + kWlanGuid),
            "ok 02:5A:0F:30:00:01/-41 02:5A:0F:30:00:02/-67");

  ASSERT_EQ(setOpMode(0), kStatusSuccess);
  EXPECT_EQ(codesAfter(0), std::vector<uint32_t>{});
  ASSERT_EQ(connect(), wlan::ERROR_SUCCESS);
  EXPECT_EQ(codesAfter(1000), (std::vector<uint32_t>{wlan::wlan_notification_acm_connection_start,
                                                     wlan::wlan_notification_acm_connection_complete}));
  EXPECT_EQ(ask("wlan0", OID_VND_EXTRA_INFO.query), EXTRA_INFO_LINK_UP);

  // A driver that restarts with OpMode 1 in its parameters serves as an access point at once.
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, daemon_.registryPaths("wlan0")->driverKey, "OpMode", "1"),
            ERROR_SUCCESS);
  ASSERT_EQ(daemon_.execute("unplug wlan0"), "ok unplugged wlan0");
  EXPECT_EQ(daemon_.execute("stations wlan0"), "error wlan0 is unplugged");
  ASSERT_EQ(daemon_.execute("plug wlan0"), "ok plugged wlan0");
  codesAfter(0);
  EXPECT_EQ(connect(), wlan::ERROR_INVALID_STATE);
  EXPECT_EQ(daemon_.execute("stations wlan0"), "ok 02:5A:0F:30:00:01/-41 02:5A:0F:30:00:02/-67");
}

TEST_F(SimDaemonTest, StationCommandsChangeWhoIsAssociated) {
  std::string error;
  ASSERT_TRUE(daemon_.start(scenario_, &error)) << error;
  ASSERT_EQ(test::Ask(*daemon_.adapter("wlan0"), OID_VND_OP_MODE.set | OidSetMask, 4, {1, 0, 0, 0}).status,
            kStatusSuccess);
  const struct {
    const char* line;
    const char* reply;
  } rows[] = {
      {"stations wlan0", "ok"},
      {"station add wlan0 02:5a:0f:30:00:09 -55", "ok added 02:5A:0F:30:00:09"},
      {"station add WLAN0 02-5A-0F-30-00-0A -80", "ok added 02:5A:0F:30:00:0A"},
      {"stations wlan0", "ok 02:5A:0F:30:00:09/-55 02:5A:0F:30:00:0A/-80"},
      {"station add wlan0 02:5A:0F:30:00:09 -50",
       "error wlan0 lists 02:5A:0F:30:00:09 already or has 32 stations"},
      {"station add wlan0 03:5A:0F:30:00:01 -50",
       "error station add: \"03:5A:0F:30:00:01\" is not a unicast MAC address"},
      {"station add wlan0 02:5A:0F:30:00:01 5", "error station add: DBM must be a whole number from -120 to 0"},
      {"station remove wlan0 02:5A:0F:30:00:09", "ok removed 02:5A:0F:30:00:09"},
      {"station remove wlan0 02:5A:0F:30:00:09", "error wlan0 has no station 02:5A:0F:30:00:09"},
      {"stations wlan0", "ok 02:5A:0F:30:00:0A/-80"},
      {"stations usb0", "error usb0 is a station, not an access point"},
      {"stations nosuch", "error no adapter named \"nosuch\""},
      {"stations", "error usage: stations NAME | station add NAME MAC DBM | station remove NAME MAC"},
      {"station add wlan0 02:5A:0F:30:00:01",
       "error usage: stations NAME | station add NAME MAC DBM | station remove NAME MAC"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(daemon_.execute(row.line), row.reply);
  }
  // At most kMaxApStations: a full list refuses one more.
  for (size_t i = 1; i < kMaxApStations; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "station add wlan0 02:5A:0F:31:00:%02X -60", static_cast<unsigned>(i));
    ASSERT_EQ(daemon_.execute(line).substr(0, 2), "ok") << line;
  }
  EXPECT_EQ(daemon_.execute("station add wlan0 02:5A:0F:32:00:01 -60"),
            "error wlan0 lists 02:5A:0F:32:00:01 already or has 32 stations");
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
