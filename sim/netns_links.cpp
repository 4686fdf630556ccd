#include "sim/netns_links.h"

#include <fcntl.h>
#include <net/if.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>

namespace ov::sim {

namespace {

constexpr const char* kIpPlaces[] = {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"};
constexpr char kLinkPrefix[] = "ovsim";

}  // namespace

std::optional<std::string> NetnsRefusal() {
  if (::geteuid() != 0) return "--netns needs root";
  // A namespace made for the simulator (unshare -n) has loopback only, and perhaps what an
  // earlier ovsimd left; any other interface means a real network, which is never touched.
  struct if_nameindex* names = ::if_nameindex();
  if (!names) return "--netns cannot list the network interfaces";
  std::optional<std::string> foreign;
  for (struct if_nameindex* n = names; n->if_index != 0 && n->if_name; ++n) {
    const std::string name = n->if_name;
    if (name != "lo" && name.rfind(kLinkPrefix, 0) != 0) {
      foreign = name;
      break;
    }
  }
  ::if_freenameindex(names);
  if (foreign) {
    return "--netns runs only in a network namespace of its own (unshare -n); this one has "
           "the interface " + *foreign;
  }
  return std::nullopt;
}

NetnsLinkPlan PlanNetnsLink(size_t index) {
  NetnsLinkPlan plan;
  plan.name = kLinkPrefix + std::to_string(index);
  plan.peer = plan.name + "p";
  plan.address = "192.0.2." + std::to_string(10 + index) + "/24";
  plan.gateway = "192.0.2.1";
  plan.metric = std::to_string(100 + index);
  return plan;
}

std::vector<std::vector<std::string>> NetnsUpCommands(const NetnsLinkPlan& plan, const MacAddress& mac) {
  return {
      {"link", "add", "name", plan.name, "address", FormatMacAddress(mac, ':'), "type", "veth", "peer",
       "name", plan.peer},
      {"address", "add", plan.address, "dev", plan.name},
      {"link", "set", "dev", plan.peer, "up"},
      {"link", "set", "dev", plan.name, "up"},
      {"route", "add", "default", "via", plan.gateway, "dev", plan.name, "metric", plan.metric},
  };
}

std::vector<std::vector<std::string>> NetnsDownCommands(const NetnsLinkPlan& plan) {
  // Deleting one end takes the peer, the address and the route with it.
  return {{"link", "delete", "dev", plan.name}};
}

NetnsLinks::~NetnsLinks() { RemoveAll(); }

std::optional<std::string> NetnsLinks::FindIpProgram() {
  for (const char* place : kIpPlaces) {
    if (::access(place, X_OK) == 0) return std::string(place);
  }
  return std::nullopt;
}

void NetnsLinks::LinkChanged(size_t index, const MacAddress& mac, bool up) {
  std::lock_guard lock(mutex_);
  if (index >= up_.size()) up_.resize(index + 1, false);
  if (up_[index] == up) return;
  const NetnsLinkPlan plan = PlanNetnsLink(index);
  if (up) {
    // A leftover of an earlier run would make the add fail.
    Run(NetnsDownCommands(plan).front());
    for (const auto& command : NetnsUpCommands(plan, mac)) {
      if (!Run(command)) break;
    }
  } else {
    for (const auto& command : NetnsDownCommands(plan)) Run(command);
  }
  up_[index] = up;
}

void NetnsLinks::RemoveAll() {
  std::lock_guard lock(mutex_);
  for (size_t i = 0; i < up_.size(); ++i) {
    if (!up_[i]) continue;
    for (const auto& command : NetnsDownCommands(PlanNetnsLink(i))) Run(command);
    up_[i] = false;
  }
}

bool NetnsLinks::Run(const std::vector<std::string>& arguments) {
  std::vector<std::string> words{ip_};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  char* envp[] = {nullptr};

  // ovsimd blocks its signals for signalfd; the child must not inherit that. Its output is
  // dropped; failures are told below.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, ip_.c_str(), &files, &attributes, argv.data(), envp);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attributes);
  int status = 0;
  bool ok = spawned == 0;
  if (ok) {
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  if (!ok && !(arguments.size() > 1 && arguments[1] == "delete")) {
    std::string line;
    for (const auto& a : arguments) line += " " + a;
    std::cerr << "ovsimd: ip" << line << " failed\n";
  }
  return ok;
}

}  // namespace ov::sim
