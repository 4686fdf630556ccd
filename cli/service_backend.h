#pragma once
#include <functional>
#include <memory>
#include <string>

#include "nativewifi/wlansvc/wlan_service.h"

// The wireless service the commands use. ovuictl's main installs the choice between the
// simulator's socket service and NetworkManager (nativewifi/nm/wlan_backend_choice.h); without
// one the commands use the simulator's socket, as before.
namespace ov::cli {

struct ServiceBackend {
  std::shared_ptr<wlan::WlanService> service;
  // NetworkManager's interfaces: no vendor driver; the commands work on the service alone.
  bool noVendorDriver = false;
  std::string why;  // the choice, for --verbose output and errors
};

using ServiceBackendFactory = std::function<ServiceBackend()>;

// An empty factory: the simulator's socket client.
void SetServiceBackendFactory(ServiceBackendFactory factory);
// Made by the installed factory at each call (a command asks once).
ServiceBackend ChosenServiceBackend();

}  // namespace ov::cli
