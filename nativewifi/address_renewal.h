#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/oid/ndis_records.h"

// Renewing the adapter's IP address when a diagnostic test asks for it. The host's way is to
// restart the address lease of its DHCP client; where no DHCP client can be reached for the
// adapter (the simulated adapter has no kernel interface), the request is only logged.
namespace ov {

class AddressRenewal {
 public:
  virtual ~AddressRenewal() = default;
  // Asks for a new lease and returns at once; the outcome is not reported.
  virtual void RenewAddress() = 0;
};

// The command that renews `interfaceName`'s lease with the DHCP client this machine has:
// systemd-networkd's `networkctl renew` when networkd runs, else `dhclient` for one attempt.
// Nothing when neither exists. `programExists` looks a program up in the search path;
// `networkdRunning` tells whether systemd-networkd manages links here.
std::optional<std::vector<std::string>> AddressRenewalCommand(
    std::string_view interfaceName, const std::function<bool(std::string_view)>& programExists,
    bool networkdRunning);

// The kernel network interface with this MAC address (getifaddrs), if any.
std::optional<std::string> FindInterfaceByMac(const MacAddress& mac);

// The renewal for one adapter, found by its MAC address at each request. Every request and its
// outcome goes to the debug trace.
class SystemAddressRenewal final : public AddressRenewal {
 public:
  explicit SystemAddressRenewal(MacAddress adapterMac) : mac_(adapterMac) {}
  void RenewAddress() override;

 private:
  MacAddress mac_;
};

}  // namespace ov
