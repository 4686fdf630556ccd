#pragma once
#include <memory>
#include <string>

#include "nativewifi/nm/wlan_backend_choice.h"
#include "nativewifi/wlansvc/wlan_service.h"

// The wireless service a front end uses, chosen as wlan_backend_choice.h says from the
// environment, the program INI, the simulator's socket and the system bus. NetworkManager's
// backend needs a QCoreApplication.
namespace ov::wlan {

struct ChosenWlanService {
  std::shared_ptr<WlanService> service;
  WlanBackend backend = WlanBackend::Simulator;
  std::string why;
};

ChosenWlanService MakeChosenWlanService(const std::string& programIniPath);

// Whether NetworkManager owns its name on the system bus (DBUS_SYSTEM_BUS_ADDRESS when set).
bool NetworkManagerOnSystemBus();

}  // namespace ov::wlan
