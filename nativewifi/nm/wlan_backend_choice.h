#pragma once
#include <functional>
#include <optional>
#include <string>

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

}  // namespace ov::wlan
