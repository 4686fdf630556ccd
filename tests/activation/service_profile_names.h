#pragma once
#include <string>
#include <vector>

#include "nativewifi/wlansvc/wlan_service_client.h"

namespace ov::test {

// The names of the WLAN profiles the running service keeps for its first interface, asked as
// another tool would; empty when the service does not answer.
inline std::vector<std::string> ServiceProfileNames() {
  wlan::WlanServiceClient service;
  wlan::ClientHandle handle = 0;
  uint32_t version = 0;
  std::vector<std::string> names;
  if (service.OpenHandle(wlan::kClientVersion2, &version, &handle) != ERROR_SUCCESS) return names;
  std::vector<wlan::InterfaceInfo> interfaces;
  std::vector<wlan::ProfileInfo> profiles;
  if (service.EnumInterfaces(handle, &interfaces) == ERROR_SUCCESS && !interfaces.empty() &&
      service.GetProfileList(handle, interfaces[0].guid, &profiles) == ERROR_SUCCESS) {
    for (const auto& p : profiles) names.push_back(p.name);
  }
  service.CloseHandle(handle);
  return names;
}

}  // namespace ov::test
