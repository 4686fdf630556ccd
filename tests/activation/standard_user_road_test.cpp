// A standard user's road against daemons that run as root, as on an installed machine: ovuictl,
// run as the user "nobody", finds the adapter through the device and service sockets every local
// user may use, activates a profile the standard user's way (the selected profile; the active
// configuration is not written) and connects, switches the radio with the adapter parameter
// written by the registry service, and a write the service does not allow is refused.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/adapter_session.h"
#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "platform/system/admin_group.h"
#include "profiles/profile_keys.h"
#include "shell/registry_broker.h"
#include "tests/regsvc/regsvc_process.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/other_user.h"

namespace ov::cli {
namespace {

namespace fs = std::filesystem;

const fs::path kBin = OVUI_BIN_DIR;
const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";

struct ProgramRun {
  int status;
  std::string output;
};

class StandardUserRoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "running as a standard user needs root to drop privileges";
    // The user reaches the sandbox as it reaches / on a real machine.
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(data_.path().c_str(), 0755), 0);
    simulator_.emplace(kBin, kDefaultScenario, dir_.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
    service_.emplace(dir_.path(), kBin / "OvUI.INI");
    ASSERT_TRUE(service_->ready()) << service_->log();
    AdapterSession probe{AdapterSessionOptions{}};
    ASSERT_TRUE(probe.Discover());
    keyPath_ = probe.Adapter().adapterKeyPath;
    storePrefix_ = (data_.path() / ("WXP4_" + probe.Adapter().netCfgInstanceId)).string();
  }
  void TearDown() override { registry_detail::CloseConnections(); }

  ProgramRun Ovuictl(std::optional<uid_t> user, const std::vector<std::string>& args) {
    ProgramRun run{0, {}};
    run.status = test::RunProgramAs(user, kBin / "ovuictl", args, dir_.path(), &run.output);
    return run;
  }
  std::string Param(const std::string& name) {
    return RegReadString(HKEY_LOCAL_MACHINE, keyPath_, name).value_or("<missing>");
  }

  test::TempDir dir_, data_, files_;
  test::ScopedMachineRoot root_{dir_.path()};
  std::optional<test::SimulatorProcess> simulator_;
  std::optional<test::RegistryServiceProcess> service_;
  std::string keyPath_;
  std::string storePrefix_;
};

TEST_F(StandardUserRoadTest, StatusActivationAndRadioWorkWithoutRights) {
  // The administrator imported the profile; the store is readable by everyone.
  const std::string file = files_.file("home.prof");
  test::WriteFileBytes(file, "[Home]\r\nSSID=Orvane-WPA2-AES\r\nNetworkType=1\r\nAuthMode=7\r\n"
                             "CipherMode=6\r\nWPAPSK=orvane-sim-2\r\n");
  ASSERT_EQ(::chmod(files_.path().c_str(), 0755), 0);
  const ProgramRun imported =
      Ovuictl(std::nullopt, {"profile", "--data-dir", data_.path().string(), "import", file});
  ASSERT_EQ(imported.status, 0) << imported.output;
  for (const auto& entry : fs::directory_iterator(data_.path())) ::chmod(entry.path().c_str(), 0644);

  const ProgramRun status = Ovuictl(test::NobodyUid(), {"status"});
  EXPECT_EQ(status.status, 0) << status.output;
  EXPECT_NE(status.output.find("Orvane"), std::string::npos) << status.output;

  const ProgramRun activated =
      Ovuictl(test::NobodyUid(), {"profile", "--data-dir", data_.path().string(), "activate", "Home"});
  EXPECT_EQ(activated.status, 0) << activated.output;
  EXPECT_NE(activated.output.find("connected to \"Orvane-WPA2-AES\""), std::string::npos)
      << activated.output;
  // The standard user's activation selects the profile; the active configuration stays as it was.
  const std::string station = test::ReadFileBytes(storePrefix_ + "_sta");
  EXPECT_EQ(station.find("Orvane-WPA2-AES"), std::string::npos) << station;

  // The radio parameter is the administrator's; the registry service writes it for the user.
  ASSERT_EQ(Param("Radio"), "0");
  const ProgramRun off = Ovuictl(test::NobodyUid(), {"radio", "off"});
  EXPECT_EQ(off.status, 0) << off.output;
  EXPECT_EQ(Param("Radio"), "1");
  EXPECT_NE(service_->log().find("uid " + std::to_string(test::NobodyUid())), std::string::npos)
      << service_->log();
  const ProgramRun on = Ovuictl(test::NobodyUid(), {"radio", "on"});
  EXPECT_EQ(on.status, 0) << on.output;
  EXPECT_EQ(Param("Radio"), "0");
}

TEST_F(StandardUserRoadTest, AWriteOutsideTheAllowedKeysIsRefused) {
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other", "X", "keep"), ERROR_SUCCESS);
  registry_detail::CloseConnections();
  const std::string ini = (kBin / "OvUI.INI").string();
  const pid_t pid = ::fork();
  if (pid == 0) {
    const uid_t uid = test::NobodyUid();
    if (!test::BecomeUser(uid)) _exit(100);
    if (::geteuid() == 0 || ProcessIsInAdminGroup()) _exit(101);
    RegistryBroker broker(ini, false);
    int failed = 0;
    if (!broker.MayUseService()) failed |= 1;
    broker.SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other", "X", REG_SZ, "changed");
    if (broker.LastServiceStatus() != ERROR_ACCESS_DENIED) failed |= 2;
    // The adapter's own key is allowed.
    broker.SetValue(HKEY_LOCAL_MACHINE, keyPath_, "PSMode", REG_SZ, std::string("1\0", 2));
    if (broker.LastServiceStatus() != ERROR_SUCCESS) failed |= 4;
    _exit(failed);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << service_->log();
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other", "X").value_or(""), "keep");
  EXPECT_EQ(Param("PSMode"), "1");
}

}  // namespace
}  // namespace ov::cli

namespace ov::cli {
namespace {

// Started with an open umask, the daemons still leave their run folder and the simulator's
// control socket to their owner: nobody else may replace the sockets or unplug the adapter.
TEST(DaemonFolders, StayTheOwnersWhateverTheUmask) {
  test::TempDir dir;
  const mode_t previous = ::umask(0);
  std::optional<test::SimulatorProcess> simulator;
  simulator.emplace(kBin, kDefaultScenario, dir.path());
  ::umask(previous);
  ASSERT_TRUE(simulator->ready()) << simulator->output();
  const auto mode = [](const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
  };
  EXPECT_EQ(mode(dir.path() / "run/ovui"), 0755u);
  EXPECT_EQ(mode(dir.path() / "run/ovui/devices"), 0755u);
  EXPECT_EQ(mode(dir.path() / "run/ovui/ovsimd.ctl"), 0600u);
  EXPECT_EQ(mode(dir.path() / "run/ovui/wlansvc"), 0666u);
}

}  // namespace
}  // namespace ov::cli
