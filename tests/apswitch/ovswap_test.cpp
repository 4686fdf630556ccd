// The OvSwap and DeZA stand-ins against the real ovsimd: the adapter named by its hardware
// identifier changes mode in the driver and the registry, and every start is logged.
#include <gtest/gtest.h>

#include <filesystem>

#include "driver/oid/oid_constants.h"
#include "driver/oid/oid_requests.h"
#include "driver/oid_channel.h"
#include "platform/deviceio/device_io.h"
#include "platform/registry/registry.h"
#include "platform/time/virtual_clock.h"
#include "siblings/ovswap/sibling_switch.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov::test {
namespace {

namespace fs = std::filesystem;

const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";
const fs::path kOvSwap = fs::path(OVUI_BIN_DIR) / "OvSwap";
const fs::path kDeza = fs::path(OVUI_BIN_DIR) / "DeZA";
constexpr char kHardwareId[] = "PCI\\VEN_0F5A&DEV_0601";  // 21 characters, as the utility keeps it
const std::vector<std::string> kNames = {"OvUI", "DeZA", "Orvane Wireless",
                                         "Orvane Wireless Utility"};

std::vector<std::string> Args(const std::string& mode, const std::string& hardwareId) {
  std::vector<std::string> a = {mode};
  a.insert(a.end(), kNames.begin(), kNames.end());
  a.push_back(hardwareId);
  return a;
}

class OvSwapTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(simulator_.ready()) << simulator_.output(); }

  std::optional<uint32_t> DriverOpMode() {
    auto adapter = sibling::FindAdapter(kHardwareId);
    if (!adapter) return std::nullopt;
    SocketDeviceIo io;
    VirtualClock clock;
    OidChannel channel(io, clock);
    channel.setDevicePath(adapter->devicePath);
    uint32_t mode = 0;
    if (!QueryOpMode(channel, mode)) return std::nullopt;
    return mode;
  }
  std::optional<std::string> RegistryOpMode() {
    auto adapter = sibling::FindAdapter(kHardwareId);
    if (!adapter) return std::nullopt;
    return RegReadString(HKEY_LOCAL_MACHINE, adapter->adapterKeyPath, "OpMode");
  }
  std::string Log(const std::string& name) {
    return ReadFileBytes(root_.path() / "tmp" / (name + ".log"));
  }

  TempDir root_;
  ScopedMachineRoot scoped_{root_.path()};
  SimulatorProcess simulator_{OVUI_BIN_DIR, kDefaultScenario, root_.path()};
};

TEST_F(OvSwapTest, OnAndOffChangeTheAdapterAndAreLogged) {
  std::string out;
  ASSERT_EQ(RunProgram(kOvSwap, Args("ON", kHardwareId), root_.path(), &out), 0) << out;
  EXPECT_EQ(DriverOpMode(), 1u);
  EXPECT_EQ(RegistryOpMode(), "1");
  const std::string log = Log("OvSwap");
  EXPECT_NE(log.find("OvSwap ON OvUI DeZA \"Orvane Wireless\" \"Orvane Wireless Utility\" "
                     "PCI\\VEN_0F5A&DEV_0601\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("started DeZA"), std::string::npos) << log;

  // What the utility saved before the hand-over comes back with the adapter.
  auto adapter = sibling::FindAdapter(kHardwareId);
  ASSERT_TRUE(adapter);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, adapter->adapterKeyPath + "\\Default", "Channel",
                           "11"),
            0u);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, adapter->adapterKeyPath, "Channel", "1"), 0u);
  ASSERT_EQ(RunProgram(kOvSwap, Args("OFF", kHardwareId), root_.path(), &out), 0) << out;
  EXPECT_EQ(DriverOpMode(), 0u);
  EXPECT_EQ(RegistryOpMode(), "0");
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, adapter->adapterKeyPath, "Channel"), "11");
  EXPECT_NE(Log("OvSwap").find("OvSwap OFF OvUI"), std::string::npos);
}

TEST_F(OvSwapTest, RefusedCommandLinesChangeNothing) {
  const struct {
    const char* name;
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {"no arguments", {}, 2},
      {"unknown mode", Args("TOGGLE", kHardwareId), 2},
      {"one argument short", {"ON", "OvUI", "DeZA", "Orvane Wireless", "Orvane Wireless Utility"}, 2},
      {"no such adapter", Args("ON", "PCI\\VEN_0F5A&DEV_9999"), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string out;
    EXPECT_EQ(RunProgram(kOvSwap, c.args, root_.path(), &out), c.status);
    EXPECT_EQ(DriverOpMode(), 0u);
    EXPECT_EQ(RegistryOpMode(), "0");
  }
  EXPECT_NE(Log("OvSwap").find("OvSwap TOGGLE"), std::string::npos) << "every start is logged";
}

TEST_F(OvSwapTest, DezaLogsItsCommandLine) {
  std::string out;
  ASSERT_EQ(RunProgram(kDeza, {"--adapter", kHardwareId}, root_.path(), &out), 0);
  EXPECT_EQ(Log("DeZA"), "DeZA --adapter PCI\\VEN_0F5A&DEV_0601\n");
}

TEST(SiblingSwitch, CommandLineParsingAndText) {
  auto c = sibling::ParseSwitchCommand(Args("OFF", "USB\\VID_0F5A&PID_0901"));
  ASSERT_TRUE(c);
  EXPECT_FALSE(c->toAccessPoint);
  EXPECT_EQ(c->apUtility, "DeZA");
  EXPECT_EQ(c->hardwareId, "USB\\VID_0F5A&PID_0901");
  EXPECT_FALSE(sibling::ParseSwitchCommand(Args("ON", "")));
  EXPECT_EQ(sibling::CommandLineText("X", {"a b", "", "say \"hi\""}),
            "X \"a b\" \"\" \"say \\\"hi\\\"\"");
}

}  // namespace
}  // namespace ov::test
