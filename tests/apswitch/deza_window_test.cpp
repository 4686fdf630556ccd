// The access-point window offscreen, against the real ovsimd and the real switch tool: what it
// shows of the adapter serving as an access point, and the hand-back that returns the adapter to
// station mode and starts the station utility again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>

#include "driver/oid/oid_requests.h"
#include "driver/oid_channel.h"
#include "platform/deviceio/device_io.h"
#include "platform/registry/registry.h"
#include "platform/time/virtual_clock.h"
#include "siblings/deza/deza_window.h"
#include "siblings/ovswap/sibling_switch.h"
#include "sim/sim_control_client.h"
#include "tests/shellui/qt_app_environment.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov::deza {
namespace {

namespace fs = std::filesystem;
using test::ProcessEventsUntil;

[[maybe_unused]] auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new test::QtAppEnvironment<QApplication>);

const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";
constexpr char kHardwareId[] = "PCI\\VEN_0F5A&DEV_0601";

std::vector<std::string> Column(const QTableWidget* table, int column) {
  std::vector<std::string> out;
  for (int row = 0; row < table->rowCount(); ++row) out.push_back(table->item(row, column)->text().toStdString());
  return out;
}

class DezaWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(simulator_.ready()) << simulator_.output();
    fs::create_directories(program_);
    // The station utility only notes that it was started.
    test::WriteFileBytes(program_ / "OvUI", "#!/bin/sh\necho started > '" + started_.string() + "'\n");
    fs::permissions(program_ / "OvUI", fs::perms::owner_all);
    auto adapter = sibling::FindAdapter(kHardwareId);
    ASSERT_TRUE(adapter);
    adapter_ = *adapter;
  }

  void withSwitchTool() {
    fs::copy_file(fs::path(OVUI_BIN_DIR) / "OvSwap", program_ / "OvSwap", fs::copy_options::overwrite_existing);
    fs::permissions(program_ / "OvSwap", fs::perms::owner_all);
  }
  // What the utility does before it starts the switch tool: the station values saved in
  // "Default", the access point's set in the key, OpMode 1 in the key and the driver.
  void handOver() {
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, adapter_.adapterKeyPath + "\\Default", "Channel", "11"), 0u);
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, adapter_.adapterKeyPath, "SSID", "SoftAP-01"), 0u);
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, adapter_.adapterKeyPath, "Channel", "1"), 0u);
    std::string error;
    ASSERT_TRUE(sibling::SetAdapterOpMode(adapter_, 1, &error)) << error;
  }
  std::optional<uint32_t> driverOpMode() {
    SocketDeviceIo io;
    VirtualClock clock;
    OidChannel channel(io, clock);
    channel.setDevicePath(adapter_.devicePath);
    uint32_t mode = 0;
    if (!QueryOpMode(channel, mode)) return std::nullopt;
    return mode;
  }
  std::unique_ptr<DezaWindow> openWindow(const std::string& hardwareId = kHardwareId) {
    auto window = std::make_unique<DezaWindow>(program_, hardwareId,
                                               [hardwareId] { return ReadAccessPointStatus(hardwareId); });
    window->show();
    return window;
  }

  test::TempDir root_;
  test::ScopedMachineRoot scoped_{root_.path()};
  test::SimulatorProcess simulator_{OVUI_BIN_DIR, kDefaultScenario, root_.path()};
  const fs::path program_ = root_.path() / "program";
  const fs::path started_ = root_.path() / "ovui-started";
  sibling::SwitchAdapter adapter_;
};

TEST_F(DezaWindowTest, ShowsTheAccessPointAndTheStationsTheSimulatorReports) {
  handOver();
  auto window = openWindow();
  EXPECT_EQ(window->modeLabel()->text().toStdString(), "The adapter serves as an access point.");
  EXPECT_EQ(window->ssidLabel()->text().toStdString(), "SoftAP-01");
  EXPECT_EQ(window->channelLabel()->text().toStdString(), "1");
  EXPECT_EQ(Column(window->stationTable(), 0), (std::vector<std::string>{"02-5A-0F-30-00-01", "02-5A-0F-30-00-02"}));
  EXPECT_EQ(Column(window->stationTable(), 1), (std::vector<std::string>{"-48 dBm", "-66 dBm"}));
  EXPECT_EQ(window->noteLabel()->text().toStdString(), "");

  // Stations come and go; the next refresh shows it.
  std::string reply, error;
  ASSERT_TRUE(sim::SimControlRequest("station add wlan0 02:5A:0F:30:00:07 -59", &reply, &error)) << error;
  ASSERT_TRUE(sim::SimControlRequest("station remove wlan0 02:5A:0F:30:00:01", &reply, &error)) << error;
  window->refresh();
  EXPECT_EQ(Column(window->stationTable(), 0), (std::vector<std::string>{"02-5A-0F-30-00-02", "02-5A-0F-30-00-07"}));
  ASSERT_TRUE(sim::SimControlRequest("station remove wlan0 02:5A:0F:30:00:02", &reply, &error)) << error;
  ASSERT_TRUE(sim::SimControlRequest("station remove wlan0 02:5A:0F:30:00:07", &reply, &error)) << error;
  window->refresh();
  EXPECT_EQ(window->stationTable()->rowCount(), 0);
  EXPECT_EQ(window->noteLabel()->text().toStdString(), "No station is associated.");

  // Unplugged, the adapter is no longer there to serve.
  ASSERT_TRUE(sim::SimControlRequest("unplug wlan0", &reply, &error)) << error;
  window->refresh();
  EXPECT_EQ(window->modeLabel()->text().toStdString(),
            "No adapter with the hardware identifier PCI\\VEN_0F5A&DEV_0601 is present.");
  EXPECT_EQ(window->ssidLabel()->text().toStdString(), "");
}

TEST_F(DezaWindowTest, ReturnToStationModeHandsBackAndStartsTheStationUtility) {
  withSwitchTool();
  handOver();
  auto window = openWindow();
  window->returnButton()->click();
  EXPECT_FALSE(window->returnButton()->isEnabled()) << "one hand-back at a time";
  ASSERT_TRUE(ProcessEventsUntil([&] { return !window->isVisible(); })) << window->noteLabel()->text().toStdString();
  ASSERT_TRUE(ProcessEventsUntil([&] { return fs::exists(started_); }));
  EXPECT_EQ(driverOpMode(), 0u);
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, adapter_.adapterKeyPath, "OpMode"), "0");
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, adapter_.adapterKeyPath, "Channel"), "11") << "Default restored";
  const std::string log = test::ReadFileBytes(root_.path() / "tmp" / "OvSwap.log");
  EXPECT_NE(log.find("OvSwap OFF OvUI DeZA \"Orvane Wireless\" \"Orvane Wireless Utility\" PCI\\VEN_0F5A&DEV_0601\n"),
            std::string::npos)
      << log;
}

TEST_F(DezaWindowTest, AFailedHandBackKeepsTheWindowAndSaysWhy) {
  handOver();
  const struct {
    const char* name;
    bool switchTool;
    std::string hardwareId;
    std::string note;
  } cases[] = {
      {"no switch tool", false, kHardwareId, (program_ / "OvSwap").string() + " could not be started."},
      {"switch tool refuses", true, "PCI\\VEN_0F5A&DEV_9999",
       "OvSwap could not return the adapter to station mode (exit status 1)."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.switchTool) withSwitchTool();
    auto window = openWindow(c.hardwareId);
    window->returnButton()->click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return window->returnButton()->isEnabled(); }));
    EXPECT_EQ(window->noteLabel()->text().toStdString(), c.note);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(fs::exists(started_));
    EXPECT_EQ(driverOpMode(), 1u);
  }
}

}  // namespace
}  // namespace ov::deza
