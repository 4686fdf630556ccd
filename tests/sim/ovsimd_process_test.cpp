// End to end: the real ovsimd in a sandbox root, reached the way the utility and ovuictl reach
// it (device sockets, the registry, the control socket).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/sim_command.h"
#include "driver/oid/oid_requests.h"
#include "platform/deviceio/device_io.h"
#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "platform/system/machine_root.h"
#include "sim/scenario.h"
#include "sim/sim_control_client.h"
#include "tests/support/temp_dir.h"

namespace ov::sim {
namespace {

namespace fs = std::filesystem;

constexpr int kWaitMs = 15000;
const std::string kDefaultScenario = std::string(OVUI_SOURCE_DIR) + "/data/scenarios/default.json";
const std::string kGuid = "{0F5A51D0-0000-4000-8000-025A0F000601}";
const std::string kDevicePath = "\\\\.\\" + kGuid;

// One ovsimd child with its output on pipes.
class OvsimdProcess {
 public:
  explicit OvsimdProcess(std::vector<std::string> args) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], 1);
      ::dup2(err[1], 2);
      std::string program = std::string(OVUI_BIN_DIR) + "/ovsimd";
      std::vector<char*> argv{program.data()};
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ~OvsimdProcess() {
    if (pid_ > 0 && !reaped_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
    if (err_ >= 0) ::close(err_);
  }

  // Reads stdout until `line` has come (true) or the output ends or time runs out (false).
  bool waitForLine(const std::string& line) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    for (;;) {
      if (stdout_.find(line + "\n") != std::string::npos) return true;
      if (readSome(out_, &stdout_, end) != Read::Data) return false;
    }
  }

  // Waits for the child to end (its output closes first); its exit status, or -1 when it did not
  // end in time (it is killed then).
  int waitForExit() {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    Read r;
    while ((r = readSome(out_, &stdout_, end)) == Read::Data) {
    }
    bool closed = r == Read::End;
    while (closed && (r = readSome(err_, &stderr_, end)) == Read::Data) {
    }
    closed = closed && r == Read::End;
    if (!closed) ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    reaped_ = true;
    if (!closed) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  int terminate() {
    ::kill(pid_, SIGTERM);
    return waitForExit();
  }

  bool started() const { return pid_ > 0; }
  const std::string& stdoutText() const { return stdout_; }
  const std::string& stderrText() const { return stderr_; }

 private:
  enum class Read { Data, End, Timeout };
  static Read readSome(int fd, std::string* into, std::chrono::steady_clock::time_point end) {
    int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    end - std::chrono::steady_clock::now())
                                    .count());
    pollfd p{fd, POLLIN, 0};
    if (left <= 0 || ::poll(&p, 1, left) <= 0) return Read::Timeout;
    char buffer[512];
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) return Read::End;
    into->append(buffer, static_cast<size_t>(n));
    return Read::Data;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  bool reaped_ = false;
  std::string stdout_;
  std::string stderr_;
};

// The OID channel's primitives over the device socket, one open per request as the utility does.
class SocketRequester : public OidRequester {
 public:
  bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned) override {
    auto device = io_.open(kDevicePath);
    return device && device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, oid, buffer, size, bytesReturned);
  }
  bool SetOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned, int) override {
    return QueryOid(oid | OidSetMask, buffer, size, bytesReturned);
  }
  bool present() { return io_.open(kDevicePath) != nullptr; }

 private:
  SocketDeviceIo io_;
};

class OvsimdProcessTest : public ::testing::Test {
 protected:
  ~OvsimdProcessTest() override { registry_detail::CloseConnections(); }

  std::string control(const std::string& line) {
    std::string reply;
    std::string error;
    if (!SimControlRequest(line, &reply, &error)) return "no answer: " + error;
    return reply;
  }
  int ctl(std::vector<std::string> args, std::string* out = nullptr, std::string* err = nullptr) {
    std::ostringstream o;
    std::ostringstream e;
    int rc = RunSimCommand(args, o, e);
    if (out) *out = o.str();
    if (err) *err = e.str();
    return rc;
  }

  ov::test::TempDir dir_;
  ov::test::ScopedMachineRoot root_{dir_.path()};
};

TEST_F(OvsimdProcessTest, ServesTheDefaultScenarioUntilTerminated) {
  OvsimdProcess ovsimd({"--scenario", kDefaultScenario, "--root", dir_.path().string()});
  ASSERT_TRUE(ovsimd.started());
  ASSERT_TRUE(ovsimd.waitForLine("ovsimd ready")) << ovsimd.stderrText();

  // The adapter answers over its device socket.
  SocketRequester driver;
  MacAddress mac{};
  ASSERT_TRUE(QueryCurrentAddress(driver, mac));
  EXPECT_EQ(mac, (MacAddress{0x02, 0x5A, 0x0F, 0x00, 0x06, 0x01}));
  EXPECT_TRUE(SetOpMode(driver, 1));
  uint32_t mode = 0;
  ASSERT_TRUE(QueryOpMode(driver, mode));
  EXPECT_EQ(mode, 1u);

  // Discovery finds it in the registry.
  const std::string enumKey =
      "SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_0F5A&DEV_0601&SUBSYS_00010F5A\\4&0F000601&0&00E0";
  auto driverKeyName = RegReadString(HKEY_LOCAL_MACHINE, enumKey, "Driver");
  ASSERT_TRUE(driverKeyName.has_value());
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE,
                          "SYSTEM\\CurrentControlSet\\Control\\Class\\" + *driverKeyName,
                          "NetCfgInstanceId"),
            kGuid);

  // Unplugged, the device no longer opens; plugged, it opens again, with the driver restarted.
  EXPECT_EQ(control("unplug wlan0"), "ok unplugged wlan0");
  EXPECT_FALSE(driver.present());
  EXPECT_FALSE(QueryOpMode(driver, mode));
  std::string out;
  EXPECT_EQ(ctl({"list"}, &out), 0);
  EXPECT_EQ(out, "wlan0 unplugged\n");
  EXPECT_EQ(ctl({"plug", "wlan0"}, &out), 0);
  EXPECT_EQ(out, "plugged wlan0\n");
  EXPECT_TRUE(driver.present());
  ASSERT_TRUE(QueryOpMode(driver, mode));
  EXPECT_EQ(mode, 0u);  // from the registry again

  // Busy over the control socket: sets fail, queries do not.
  std::string err;
  EXPECT_EQ(ctl({"busy", "wlan0", "60000"}, &out), 0);
  EXPECT_FALSE(SetOpMode(driver, 1));
  EXPECT_TRUE(QueryOpMode(driver, mode));
  EXPECT_EQ(ctl({"signal", "wlan9", "-60"}, &out, &err), 1);
  EXPECT_EQ(err, "ovuictl sim: no adapter named \"wlan9\"\n");

  // The radio world: listed one access point a line, added with JSON given as several words,
  // and the adapter's radio switch.
  EXPECT_EQ(ctl({"ap", "list"}, &out), 0);
  Scenario scenario;
  ASSERT_TRUE(LoadScenarioFile(kDefaultScenario, &scenario, &err)) << err;
  EXPECT_EQ(static_cast<size_t>(std::count(out.begin(), out.end(), '\n')), scenario.accessPoints.size());
  EXPECT_EQ(out.substr(0, out.find('\n')), "02:5A:0F:10:00:01  channel 1  -48 dBm  Orvane-Open");
  EXPECT_EQ(ctl({"ap", "add", R"({"ssid": "Cafe Corner",)", R"("bssid": "02:5A:0F:20:00:01", "channel": 6})"}, &out, &err), 0)
      << err;
  EXPECT_EQ(out, "added 02:5A:0F:20:00:01\n");
  EXPECT_EQ(ctl({"ap", "move", "02:5A:0F:20:00:01", "-77"}, &out), 0);
  EXPECT_EQ(ctl({"ap", "list"}, &out), 0);
  EXPECT_NE(out.find("02:5A:0F:20:00:01  channel 6  -77 dBm  Cafe Corner\n"), std::string::npos) << out;
  EXPECT_EQ(ctl({"ap", "remove", "02:5A:0F:20:00:01"}, &out), 0);
  EXPECT_EQ(out, "removed 02:5A:0F:20:00:01\n");
  EXPECT_EQ(ctl({"radio", "wlan0", "off"}, &out), 0);
  EXPECT_EQ(out, "radio wlan0 off\n");
  uint32_t extra = 0;
  ASSERT_TRUE(QueryExtraInfo(driver, extra));
  EXPECT_EQ(extra, EXTRA_INFO_HW_RADIO_OFF);
  EXPECT_TRUE(fs::exists(dir_.path() / "run/ovui/wlansvc"));

  // A second ovsimd on the same root refuses to start and leaves the first one serving.
  OvsimdProcess second({"--scenario", kDefaultScenario, "--root", dir_.path().string()});
  EXPECT_EQ(second.waitForExit(), 1);
  EXPECT_NE(second.stderrText().find("another ovsimd is already running"), std::string::npos)
      << second.stderrText();
  EXPECT_TRUE(driver.present());

  EXPECT_EQ(ovsimd.terminate(), 0) << ovsimd.stderrText();
  EXPECT_FALSE(driver.present());
  EXPECT_FALSE(fs::exists(dir_.path() / "run/ovui/devices" / kGuid));
  EXPECT_FALSE(fs::exists(dir_.path() / "run/ovui/ovsimd.ctl"));
  EXPECT_FALSE(fs::exists(dir_.path() / "run/ovui/wlansvc"));
  EXPECT_EQ(ctl({"list"}, &out, &err), 1);
  EXPECT_NE(err.find("ovsimd is not running"), std::string::npos) << err;
}

TEST_F(OvsimdProcessTest, MalformedScenarioStopsBeforeCreatingAnything) {
  fs::path bad = dir_.path() / "bad.json";
  {
    std::ofstream(bad) << R"({"adapters": [{"name": "wlan0", "chip_family": "WXP4"}]})";
  }
  fs::path root = dir_.path() / "root";
  fs::create_directories(root);
  OvsimdProcess ovsimd({"--scenario", bad.string(), "--root", root.string()});
  EXPECT_EQ(ovsimd.waitForExit(), 2);
  EXPECT_NE(ovsimd.stderrText().find("adapters[0].hardware_id: missing"), std::string::npos)
      << ovsimd.stderrText();
  EXPECT_TRUE(fs::is_empty(root));
  EXPECT_EQ(ovsimd.stdoutText(), "");

  OvsimdProcess noScenario({"--root", root.string()});
  EXPECT_EQ(noScenario.waitForExit(), 2);
  EXPECT_NE(noScenario.stderrText().find("usage: ovsimd"), std::string::npos);
}

TEST_F(OvsimdProcessTest, SimCommandChecksItsWordsBeforeAsking) {
  struct Row {
    std::vector<std::string> args;
    int rc;
  };
  for (const Row& row : {Row{{}, 2}, Row{{"unplug"}, 2}, Row{{"busy", "wlan0"}, 2},
                         Row{{"list", "x"}, 2}, Row{{"reboot", "wlan0"}, 2},
                         Row{{"plug", "wlan0 extra"}, 2}, Row{{"plug", "wlan0"}, 1},
                         Row{{"radio", "wlan0"}, 2}, Row{{"ap"}, 2}, Row{{"ap", "add"}, 2},
                         Row{{"ap", "add", "{\"ssid\":\n\"x\"}"}, 2}, Row{{"ap", "move", "02:5A:0F:20:00:01"}, 2},
                         Row{{"ap", "remove", "a b"}, 2}, Row{{"ap", "list"}, 1},
                         Row{{"ap", "add", "{\"ssid\": \"x\"}"}, 1}}) {
    SCOPED_TRACE(::testing::PrintToString(row.args));
    std::string out;
    std::string err;
    EXPECT_EQ(ctl(row.args, &out, &err), row.rc);
    EXPECT_EQ(out, "");
    const char* expected = row.rc == 2 ? "usage: ovuictl sim" : "ovsimd is not running";
    EXPECT_NE(err.find(expected), std::string::npos) << err;
  }
}

}  // namespace
}  // namespace ov::sim
