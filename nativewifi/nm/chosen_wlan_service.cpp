#include <QCoreApplication>

#include <cstdlib>

#include "nativewifi/nm/nm_wlan_service.h"
#include "nativewifi/nm/wlan_backend_choice.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/ini/ini.h"

namespace ov::wlan {

namespace {

// QtDBus wants an application object; ovuictl has none of its own.
void EnsureCoreApplication() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "ovui";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
}

}  // namespace

bool NetworkManagerOnSystemBus() {
  EnsureCoreApplication();
  return nm::NmWlanService().Available();
}

ChosenWlanService MakeChosenWlanService(const std::string& programIniPath) {
  WlanBackendInputs in;
  if (const char* env = std::getenv(kBackendEnvironment)) in.environment = env;
  in.programIni = IniReadString(programIniPath, kBackendIniSection, kBackendIniKey, "", 64);
  const std::string socketPath = DefaultServiceSocketPath();
  in.simulatorSocketPresent = IsSocketFile(socketPath);
  in.networkManagerOnBus = NetworkManagerOnSystemBus;
  const WlanBackendChoice choice = ChooseWlanBackend(in);
  ChosenWlanService out;
  out.backend = choice.backend;
  out.why = choice.why;
  if (choice.backend == WlanBackend::NetworkManager) {
    EnsureCoreApplication();
    out.service = std::make_shared<nm::NmWlanService>();
  }
  else
    out.service = std::make_shared<WlanServiceClient>(socketPath);
  return out;
}

}  // namespace ov::wlan
