#pragma once
#include <optional>
#include <string>

#include "platform/system/mac_address.h"

// The IPv4 settings of the network interface that has a given MAC address, as the system has
// them: its first address and mask (getifaddrs) and the gateway of its default route (the
// kernel's routing table).
namespace ov {

struct InterfaceAddresses {
  std::string ip;       // dotted, empty when the interface has none
  std::string mask;
  std::string gateway;  // empty without a default route through it
};

// Nothing when no interface has the address.
std::optional<InterfaceAddresses> FindInterfaceAddresses(const MacAddress& mac);

// The default route's gateway of `interfaceName` in the text of /proc/net/route; "" when there is
// none. Plain so it can be tested with a table.
std::string DefaultGatewayFromRouteTable(const std::string& routeTable, const std::string& interfaceName);

}  // namespace ov
