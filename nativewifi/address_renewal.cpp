#include "nativewifi/address_renewal.h"

#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "driver/params/debug_trace.h"

extern char** environ;

namespace ov {

namespace {

bool ProgramInPath(std::string_view name) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string_view rest(path);
  while (!rest.empty()) {
    const size_t colon = rest.find(':');
    const std::string_view dir = rest.substr(0, colon);
    if (!dir.empty()) {
      std::error_code ec;
      const std::filesystem::path candidate = std::filesystem::path(dir) / name;
      if (std::filesystem::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0) {
        return true;
      }
    }
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return false;
}

// Starts the command and reaps it on a thread of its own, so no zombie stays behind and the
// caller never waits.
bool StartDetached(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace

std::optional<std::vector<std::string>> AddressRenewalCommand(
    std::string_view interfaceName, const std::function<bool(std::string_view)>& programExists,
    bool networkdRunning) {
  const std::string name(interfaceName);
  if (networkdRunning && programExists("networkctl")) {
    return std::vector<std::string>{"networkctl", "renew", name};
  }
  if (programExists("dhclient")) return std::vector<std::string>{"dhclient", "-1", name};
  return std::nullopt;
}

std::optional<std::string> FindInterfaceByMac(const MacAddress& mac) {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return std::nullopt;
  std::optional<std::string> found;
  for (ifaddrs* a = list; a && !found; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_PACKET) continue;
    const auto* link = reinterpret_cast<const sockaddr_ll*>(a->ifa_addr);
    if (link->sll_halen == mac.size() && std::memcmp(link->sll_addr, mac.data(), mac.size()) == 0) {
      found = a->ifa_name;
    }
  }
  ::freeifaddrs(list);
  return found;
}

void SystemAddressRenewal::RenewAddress() {
  const std::optional<std::string> name = FindInterfaceByMac(mac_);
  if (!name) {
    DebugTrace("Address renewal: no network interface has the adapter's address\n");
    return;
  }
  const bool networkd = std::filesystem::exists("/run/systemd/netif/links");
  const auto command = AddressRenewalCommand(*name, ProgramInPath, networkd);
  if (!command) {
    DebugTrace("Address renewal: no DHCP client for '%s'\n", name->c_str());
    return;
  }
  if (!StartDetached(*command)) {
    DebugTrace("Address renewal: '%s' could not be started\n", command->front().c_str());
    return;
  }
  DebugTrace("Address renewal: started '%s' for '%s'\n", command->front().c_str(), name->c_str());
}

}  // namespace ov
