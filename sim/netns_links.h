#pragma once
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/system/mac_address.h"

// ovsimd --netns: while a simulated adapter is associated, one end of a veth pair stands for it in
// the network namespace, with the adapter's MAC, an address of 192.0.2.0/24 and a default route,
// so that the system's own address tables show the link. Made and removed with iproute2's `ip`,
// run by absolute path without a shell.
namespace ov::sim {

// Why this process may not change the network: nothing when it may (root, in a network
// namespace with no interface but loopback and this simulator's own, so that the machine's
// network is never touched).
std::optional<std::string> NetnsRefusal();

// The names and addresses used for the adapter with index `index` (0-based, scenario order).
struct NetnsLinkPlan {
  std::string name;      // "ovsim<index>", the adapter's end
  std::string peer;      // "ovsim<index>p"
  std::string address;   // "192.0.2.<10+index>/24"
  std::string gateway;   // "192.0.2.1"
  std::string metric;    // "<100+index>", so several adapters' default routes coexist
};
NetnsLinkPlan PlanNetnsLink(size_t index);

// The `ip` argument lists that bring the adapter's link up and take it down.
std::vector<std::vector<std::string>> NetnsUpCommands(const NetnsLinkPlan& plan, const MacAddress& mac);
std::vector<std::vector<std::string>> NetnsDownCommands(const NetnsLinkPlan& plan);

class NetnsLinks {
 public:
  // `ipProgram`: the absolute path of `ip`.
  explicit NetnsLinks(std::string ipProgram) : ip_(std::move(ipProgram)) {}
  ~NetnsLinks();
  NetnsLinks(const NetnsLinks&) = delete;
  NetnsLinks& operator=(const NetnsLinks&) = delete;

  // The first `ip` of the usual places; nothing when iproute2 is not installed.
  static std::optional<std::string> FindIpProgram();

  // The adapter's association came (`up`) or went. Runs before the wireless service tells its
  // clients, so a client that saw the connection complete finds the interface. Repeats of the
  // same state do nothing.
  void LinkChanged(size_t index, const MacAddress& mac, bool up);
  // Removes every interface made (ovsimd's end).
  void RemoveAll();

 private:
  bool Run(const std::vector<std::string>& arguments);

  std::string ip_;
  std::mutex mutex_;
  std::vector<bool> up_;
};

}  // namespace ov::sim
