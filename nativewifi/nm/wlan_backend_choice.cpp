#include "nativewifi/nm/wlan_backend_choice.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace ov::wlan {
namespace {

enum class Asked { Simulator, NetworkManager, Auto, Unknown };

Asked Parse(std::string value) {
  std::transform(value.begin(), value.end(), value.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (value == "nm" || value == "networkmanager") return Asked::NetworkManager;
  if (value == "sim" || value == "simulator") return Asked::Simulator;
  if (value.empty() || value == "auto") return Asked::Auto;
  return Asked::Unknown;
}

}  // namespace

WlanBackendChoice ChooseWlanBackend(const WlanBackendInputs& in) {
  std::string note;
  for (const auto& [value, source] : {std::pair{in.environment.value_or(""), std::string(kBackendEnvironment)},
                                      std::pair{in.programIni, std::string("the program INI")}}) {
    switch (Parse(value)) {
      case Asked::NetworkManager: return {WlanBackend::NetworkManager, "NetworkManager, as " + source + " asks"};
      case Asked::Simulator: return {WlanBackend::Simulator, "the simulator's service, as " + source + " asks"};
      case Asked::Unknown: note += "; " + source + " names no backend (\"" + value + "\")"; break;
      case Asked::Auto: break;
    }
  }
  if (in.simulatorSocketPresent) return {WlanBackend::Simulator, "the simulator's service (its socket exists)" + note};
  if (in.networkManagerOnBus && in.networkManagerOnBus())
    return {WlanBackend::NetworkManager, "NetworkManager (no simulator socket; NetworkManager is on the system bus)" + note};
  return {WlanBackend::Simulator, "the simulator's service (neither it nor NetworkManager found)" + note};
}

bool IsSocketFile(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

}  // namespace ov::wlan
