#include "platform/system/adapter_addresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace ov {

namespace {

std::string Dotted(const sockaddr* address) {
  if (!address || address->sa_family != AF_INET) return "";
  char text[INET_ADDRSTRLEN] = {};
  const auto* in = reinterpret_cast<const sockaddr_in*>(address);
  return inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) ? text : "";
}

}  // namespace

std::string DefaultGatewayFromRouteTable(const std::string& routeTable,
                                         const std::string& interfaceName) {
  std::istringstream lines(routeTable);
  std::string line;
  std::getline(lines, line);  // the header
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string name, destination, gateway;
    if (!(fields >> name >> destination >> gateway)) continue;
    if (name != interfaceName || destination != "00000000") continue;
    unsigned long value = 0;
    try {
      value = std::stoul(gateway, nullptr, 16);
    } catch (...) {
      continue;
    }
    if (gateway.size() != 8 || value == 0) continue;
    // The kernel writes the address as a host-order number of network-order bytes.
    in_addr address{};
    address.s_addr = static_cast<in_addr_t>(value);
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &address, text, sizeof text)) return text;
  }
  return "";
}

std::optional<InterfaceAddresses> FindInterfaceAddresses(const MacAddress& mac) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return std::nullopt;
  std::string name;
  for (ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_PACKET) continue;
    const auto* link = reinterpret_cast<const sockaddr_ll*>(a->ifa_addr);
    if (link->sll_halen == mac.size() && std::memcmp(link->sll_addr, mac.data(), mac.size()) == 0) {
      name = a->ifa_name;
      break;
    }
  }
  if (name.empty()) {
    freeifaddrs(list);
    return std::nullopt;
  }
  InterfaceAddresses out;
  for (ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || name != a->ifa_name) continue;
    out.ip = Dotted(a->ifa_addr);
    out.mask = Dotted(a->ifa_netmask);
    break;
  }
  freeifaddrs(list);
  std::ifstream routes("/proc/net/route");
  std::stringstream table;
  table << routes.rdbuf();
  out.gateway = DefaultGatewayFromRouteTable(table.str(), name);
  return out;
}

}  // namespace ov
