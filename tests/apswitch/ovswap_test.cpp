// The switch tool against the real ovsimd: the adapter named by its hardware identifier changes
// mode in the driver and the registry, the access-point utility is started from the tool's own
// folder, and every start is logged. DeZA's status print runs the real program too.
#include <gtest/gtest.h>

#include <unistd.h>

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

// A program folder of its own: a copy of OvSwap (it starts DeZA from its own folder) beside a
// DeZA that only notes its arguments, so no window is left running.
fs::path ProgramFolderWithStubDeza(const fs::path& folder, const fs::path& note) {
  fs::create_directories(folder);
  fs::copy_file(kOvSwap, folder / "OvSwap", fs::copy_options::overwrite_existing);
  WriteFileBytes(folder / "DeZA", "#!/bin/sh\nprintf '%s\\n' \"$*\" > '" + note.string() + "'\n");
  for (const char* name : {"OvSwap", "DeZA"}) {
    fs::permissions(folder / name, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  }
  return folder / "OvSwap";
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
  const fs::path note = root_.path() / "deza-arguments";
  const fs::path ovswap = ProgramFolderWithStubDeza(root_.path() / "program", note);
  ASSERT_EQ(RunProgram(ovswap, Args("ON", kHardwareId), root_.path(), &out), 0) << out;
  EXPECT_EQ(DriverOpMode(), 1u);
  EXPECT_EQ(RegistryOpMode(), "1");
  const std::string log = Log("OvSwap");
  EXPECT_NE(log.find("OvSwap ON OvUI DeZA \"Orvane Wireless\" \"Orvane Wireless Utility\" "
                     "PCI\\VEN_0F5A&DEV_0601\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("started DeZA"), std::string::npos) << log;
  // Started, not waited for: it notes its arguments when it gets to run.
  for (int i = 0; i < 500 && !fs::exists(note); ++i) usleep(10000);
  EXPECT_EQ(ReadFileBytes(note), "--adapter PCI\\VEN_0F5A&DEV_0601\n");

  // What the utility saved before the hand-over comes back with the adapter.
  auto adapter = sibling::FindAdapter(kHardwareId);
  ASSERT_TRUE(adapter);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, adapter->adapterKeyPath + "\\Default", "Channel",
                           "11"),
            0u);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, adapter->adapterKeyPath, "Channel", "1"), 0u);
  ASSERT_EQ(RunProgram(ovswap, Args("OFF", kHardwareId), root_.path(), &out), 0) << out;
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

TEST_F(OvSwapTest, DezaPrintsTheAdapterAndLogsItsCommandLine) {
  auto print = [&](const std::vector<std::string>& args, int status) {
    std::string out;
    EXPECT_EQ(RunProgram(kDeza, args, root_.path(), &out), status);
    return out;
  };
  EXPECT_EQ(print({"--adapter", kHardwareId, "--print"}, 0), "Mode: station\nSSID: (none)\nChannel: 6\n");
  const fs::path ovswap = ProgramFolderWithStubDeza(root_.path() / "program", root_.path() / "note");
  std::string out;
  ASSERT_EQ(RunProgram(ovswap, Args("ON", kHardwareId), root_.path(), &out), 0) << out;
  // The default scenario's stations, as the simulator reports them.
  EXPECT_EQ(print({"--adapter", kHardwareId, "--print"}, 0),
            "Mode: access point\nSSID: (none)\nChannel: 6\nStations: 2\n"
            "  02-5A-0F-30-00-01 -48 dBm\n  02-5A-0F-30-00-02 -66 dBm\n");
  EXPECT_EQ(print({"--adapter", "PCI\\VEN_0F5A&DEV_9999", "--print"}, 1), "Adapter: not present\n");
  EXPECT_EQ(print({"--print"}, 2), "usage: DeZA --adapter <hardware id> [--print]\n");
  EXPECT_EQ(Log("DeZA"),
            "DeZA --adapter PCI\\VEN_0F5A&DEV_0601 --print\n"
            "DeZA --adapter PCI\\VEN_0F5A&DEV_0601 --print\n"
            "DeZA --adapter PCI\\VEN_0F5A&DEV_9999 --print\n"
            "DeZA --print\n");
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
