#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "nativewifi/wlansvc/wlan_service.h"

// Which implementation of the wireless-service seam a front end uses: the simulator's socket
// service or the machine's NetworkManager.
namespace ov::wlan {

enum class WlanBackend { Simulator, NetworkManager };

// The program INI's key: [Wireless] "Backend" = "nm", "simulator" or "auto" (the default).
inline constexpr const char* kBackendIniSection = "Wireless";
inline constexpr const char* kBackendIniKey = "Backend";
// The environment variable, ahead of the INI.
inline constexpr const char* kBackendEnvironment = "OVUI_WLAN_BACKEND";

struct WlanBackendInputs {
  std::optional<std::string> environment;  // OVUI_WLAN_BACKEND when set
  std::string programIni;                  // the INI's value ("" when missing)
  bool simulatorSocketPresent = false;
  // Asked only for an automatic choice without the simulator's socket.
  std::function<bool()> networkManagerOnBus;
};

struct WlanBackendChoice {
  WlanBackend backend = WlanBackend::Simulator;
  std::string why;  // one line for the log
};

// The environment, else the INI, else automatic: the simulator when its socket exists,
// NetworkManager when it owns its name on the system bus, else the simulator (whose client then
// reports the service missing). An unknown value counts as "auto" and says so.
WlanBackendChoice ChooseWlanBackend(const WlanBackendInputs& inputs);

// Whether `path` is a socket itself (a symbolic link is not followed).
bool IsSocketFile(const std::string& path);

// The service chosen for this machine: ChooseWlanBackend over OVUI_WLAN_BACKEND, the program
// INI's key, the simulator's socket and the system bus (DBUS_SYSTEM_BUS_ADDRESS when set).
// NetworkManager's backend runs on QtCore and QtDBus (chosen_wlan_service.cpp, which makes a
// QCoreApplication when the program has none); the declarations here are Qt-free for ovuictl.
struct ChosenWlanService {
  std::shared_ptr<WlanService> service;
  WlanBackend backend = WlanBackend::Simulator;
  std::string why;
};
ChosenWlanService MakeChosenWlanService(const std::string& programIniPath);

// Whether NetworkManager owns its name on the system bus.
bool NetworkManagerOnSystemBus();

}  // namespace ov::wlan
