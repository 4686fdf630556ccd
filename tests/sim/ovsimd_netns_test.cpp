// ovsimd --netns: in a network namespace of its own the simulator gives a connected adapter a
// veth end with its MAC, an address and a default route, which the link status's address lookup
// finds, and takes it away on disconnect. The test runs itself again inside a fresh namespace
// (unshare(CLONE_NEWNET) in a child), so the machine's network is never touched; without the
// right to make one it is skipped. The waits are for the simulator's notifications.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "nativewifi/native_wifi_client.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/system/adapter_addresses.h"
#include "platform/system/machine_root.h"
#include "platform/time/monitor_messages.h"
#include "sim/netns_links.h"
#include "tests/nativewifi/fake_wlan_service.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

namespace fs = std::filesystem;

const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";
constexpr char kDescription[] = "Orvane WXP4 Wireless LAN PCI Adapter";
constexpr MacAddress kAdapterMac = {0x02, 0x5A, 0x0F, 0x00, 0x06, 0x01};
constexpr char kChildMark[] = "OVUI_NETNS_TEST_CHILD=1";

bool InChild() {
  const char* mark = std::getenv("OVUI_NETNS_TEST_CHILD");
  return mark && std::string(mark) == "1";
}

// Why this process cannot make a network namespace; nothing when it can. Probed in a child, so
// this process stays where it is.
std::optional<std::string> NamespaceRefusal() {
  const pid_t pid = fork();
  if (pid == 0) _exit(unshare(CLONE_NEWNET) == 0 ? 0 : errno);
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return "cannot start a probe";
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return std::nullopt;
  return std::string("no right to make a network namespace (unshare -n): ") +
         std::strerror(WIFEXITED(status) ? WEXITSTATUS(status) : EPERM);
}

// Runs this test program again with `filter` in a fresh network namespace; its exit status and
// output.
int RunInFreshNamespace(const std::string& filter, std::string* output, const fs::path& log) {
  std::string self = fs::read_symlink("/proc/self/exe").string();
  std::string filterArg = "--gtest_filter=" + filter;
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  env.emplace_back(kChildMark);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  char* argv[] = {self.data(), filterArg.data(), nullptr};
  std::FILE* out = std::fopen(log.c_str(), "w");
  if (!out) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fileno(out), 1);
    dup2(fileno(out), 2);
    if (unshare(CLONE_NEWNET) != 0) _exit(125);
    execve(self.c_str(), argv, envp.data());
    _exit(127);
  }
  std::fclose(out);
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  *output = text.str();
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

StationProfile OpenNetwork(const std::string& ssid) {
  StationProfile p;
  p.ssid = MakeNdisSsid(ssid);
  p.networkType = 1;
  p.authMode = kAuthOpen;
  p.cipherMode = kCipherNone;
  p.rtsThreshold = 2347;
  p.connectRequested = 1;
  return p;
}

TEST(OvsimdNetns, ConnectedAdapterHasAnAddressTheLinkStatusFinds) {
  if (!InChild()) {
    if (auto refusal = NamespaceRefusal()) GTEST_SKIP() << *refusal;
    test::TempDir dir;
    std::string output;
    const int status = RunInFreshNamespace(
        "OvsimdNetns.ConnectedAdapterHasAnAddressTheLinkStatusFinds", &output, dir.path() / "child.log");
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.find("[  SKIPPED ]"), std::string::npos) << output;
    return;
  }
  // In the fresh namespace: only its own loopback exists, so every interface seen is ovsimd's.
  ASSERT_FALSE(sim::NetnsRefusal().has_value()) << *sim::NetnsRefusal();
  test::TempDir dir;
  test::ScopedMachineRoot root(dir.path());
  test::SimulatorProcess simulator(OVUI_BIN_DIR, kDefaultScenario, dir.path(), {"--netns"});
  ASSERT_TRUE(simulator.ready()) << simulator.output();
  EXPECT_FALSE(FindInterfaceAddresses(kAdapterMac).has_value()) << "no link, no interface";

  auto inbox = std::make_shared<test::MessageInbox>();
  NativeWifiClientServices services;
  services.service = std::make_shared<wlan::WlanServiceClient>(UnderRoot("run/ovui/wlansvc").string());
  NativeWifiClient client(services);
  ASSERT_EQ(client.Open(kDescription, MessageTarget(inbox), false), ERROR_SUCCESS);
  StationProfile open = OpenNetwork("Orvane-Open");
  ASSERT_TRUE(client.ApplyProfile(0, open, false, nullptr));
  ASSERT_TRUE(inbox->next(WM_MON_CONNECT_DONE)) << "no connection";

  const auto addresses = FindInterfaceAddresses(kAdapterMac);
  ASSERT_TRUE(addresses.has_value()) << "no interface with the adapter's MAC\n" << simulator.output();
  EXPECT_EQ(addresses->ip, "192.0.2.10");
  EXPECT_EQ(addresses->mask, "255.255.255.0");
  EXPECT_EQ(addresses->gateway, "192.0.2.1");

  ASSERT_EQ(client.Disconnect(), ERROR_SUCCESS);
  ASSERT_TRUE(inbox->next(WM_MON_DISCONNECTED)) << "no disconnection";
  EXPECT_FALSE(FindInterfaceAddresses(kAdapterMac).has_value()) << "removed on disconnect";
}

TEST(OvsimdNetns, RefusedOnTheMachinesOwnNetwork) {
  const auto refusal = sim::NetnsRefusal();
  if (!refusal) GTEST_SKIP() << "this process runs in a namespace of its own";
  test::TempDir dir;
  test::SimulatorProcess simulator(OVUI_BIN_DIR, kDefaultScenario, dir.path(), {"--netns"});
  ASSERT_TRUE(simulator.ready()) << simulator.output();
  EXPECT_NE(simulator.output().find(*refusal + "; no interfaces are made"), std::string::npos)
      << simulator.output();
}

}  // namespace
}  // namespace ov
