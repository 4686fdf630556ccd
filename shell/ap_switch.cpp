#include "shell/ap_switch.h"

#include <cstdio>
#include <filesystem>

#include "driver/oid/oid_requests.h"
#include "driver/params/adapter_params.h"
#include "driver/params/debug_trace.h"
#include "driver/params/parameter_sets.h"
#include "lang/language_table.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "shell/hide_dlg.h"
#include "shell/ui/ui_text.h"

namespace ov {

namespace {

std::string SwitchToolPath(const CHideDlg& monitor) {
  return (std::filesystem::path(monitor.Options().programDir) / kSwitchToolName).string();
}

void Trace(const CHideDlg& monitor, const std::string& line) {
  AppendDebugTraceFile(monitor.Options().programIniPath, line);
}

// OpMode through the registry broker, then the driver; failures are only traced.
void WriteOpMode(CHideDlg& monitor, int32_t mode) {
  const std::string& key = monitor.Adapter().adapterKeyPath;
  const MonitorServices& services = monitor.Services();
  uint32_t result = WriteDecimalParam(*services.registry, key, param::kOpMode, mode);
  if (result == ERROR_FILE_NOT_FOUND) {
    Trace(monitor, "RegOpenKeyEx '" + key + "' failed\n");
  } else if (result != 0) {
    Trace(monitor, "RegSetValueEx REGSTR_OP_MODE '" + std::to_string(mode) + "' failed\n");
  }
  SetOpMode(services.adapter->Driver(), static_cast<uint32_t>(mode));
}

}  // namespace

std::vector<std::string> SwitchToolArguments(bool toAccessPoint, std::string_view hardwareId) {
  return {toAccessPoint ? "ON" : "OFF", "OvUI", kApUtilityName, "Orvane Wireless",
          "Orvane Wireless Utility", std::string(hardwareId)};
}

void SwitchToApMode(CHideDlg& monitor) {
  const MonitorServices& services = monitor.Services();
  ShellState& state = monitor.State();
  if (!state.RadioOn) {
    COvUI2007Dlg* window = monitor.MainWindow();
    if (window) window->setEnabled(false);
    CMessageBoxDlg& notice = monitor.NoticeDialog();
    notice.SetMessage(UiText(IDS_INVAILDRADIOOFF));
    notice.CenterOverOwner();
    notice.show();
    if (window) window->setEnabled(true);
    return;
  }
  if (!services.wifi->ServiceRunning()) {
    {
      ScopedBusy busy(state);
      services.desktop->ShowModalMessage(QString::fromLatin1(kAutoConfigOffText));
    }
    services.desktop->OpenDocument(
        (std::filesystem::path(monitor.Options().programDir) / kHelpFile).string());
    return;
  }
  services.wifi->DeleteAllProfiles();
  // Set before the window ends, so that its end leaves "Default" with the values saved below.
  monitor.SetApSwitchDone();
  const std::string key = monitor.Adapter().adapterKeyPath;
  const std::string hardwareId = monitor.Adapter().hardwareId;
  monitor.CloseMonitor();
  SaveDefaults(*services.registry, key);
  LoadApDefaults(*services.registry, key);
  WriteOpMode(monitor, 1);
  services.desktop->StartProgram(SwitchToolPath(monitor), SwitchToolArguments(true, hardwareId));
}

void HandBackFromApMode(CHideDlg& monitor) {
  WriteOpMode(monitor, 0);
  monitor.Services().desktop->StartProgram(SwitchToolPath(monitor),
                                           SwitchToolArguments(false, monitor.Adapter().hardwareId));
}

}  // namespace ov
