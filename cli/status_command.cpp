#include "cli/status_command.h"

#include <ostream>

#include "cli/cli.h"
#include "cli/status_report.h"
#include "driver/discovery/adapter_discovery.h"
#include "driver/discovery/device_id_table.h"
#include "driver/discovery/net_devices.h"
#include "driver/oid/ndis_records.h"
#include "driver/oid/oid_requests.h"
#include "driver/oid_channel.h"
#include "driver/os_version.h"
#include "platform/deviceio/device_io.h"
#include "platform/system/locale_id.h"
#include "platform/system/machine_root.h"
#include "platform/time/virtual_clock.h"

namespace ov::cli {

namespace {

DriverReadings ReadDriver(OidRequester& driver, int32_t chipFamily) {
  DriverReadings d;
  uint32_t ready = 0;
  if (QueryNicReady(driver, ready)) {
    d.nicReadyValue = ready;
    d.nicReady = ready == 1;
  }
  LinkStatus link;
  if (QueryLinkStatus(driver, chipFamily, link)) d.linkStatus = link;
  int32_t dBm = 0;
  if (QueryRssi0(driver, dBm)) d.rssi[0] = dBm;
  if (QueryRssi1(driver, dBm)) d.rssi[1] = dBm;
  if (QueryRssi2(driver, dBm)) d.rssi[2] = dBm;
  CountryRegion region;
  if (QueryCountryRegion(driver, region)) d.countryRegionWord = EncodeCountryRegionWord(region);
  uint32_t extra = 0;
  if (QueryExtraInfo(driver, extra)) d.extraInfo = extra;
  NDIS_802_11_SSID ssid;
  if (QuerySsid(driver, ssid)) d.ssid = std::string(NdisSsidText(ssid));
  return d;
}

StatusReport GatherStatus() {
  StatusReport report;
  report.machineRoot = MachineRoot().string();
  OsVersionCode code = CurrentOsVersionCode();
  report.osVersionCode = code;
  report.isAdmin = IsAdmin(code);
  report.languageId = CurrentLocaleLanguageId();
  report.deviceIniPath = DefaultProgramIniPath();

  DeviceIdTables tables = LoadDeviceIdTables(report.deviceIniPath);
  report.deviceIdEntries = tables.ini.size();
  RegistryNetDeviceSource devices;
  SocketDeviceIo deviceIo;
  // The command is over before any retry would fall due, so a clock that never runs will do.
  VirtualClock clock;
  OidChannel channel(deviceIo, clock);
  channel.setOsVersionCode(code);
  AdapterDiscovery discovery(devices, deviceIo, channel, std::move(tables), code);

  AdapterInfo info;
  info.isAdmin = report.isAdmin;
  // An adapter that is still starting is accepted after the same number of attempts the monitor
  // makes, one per tick; its readiness is reported below.
  for (int attempt = 0; attempt <= kNotReadyAttempts && !report.adapterFound; ++attempt) {
    report.adapterFound = discovery.DiscoverAdapter(info);
    if (!report.adapterFound && discovery.readinessCounter() == 0) break;
  }
  if (report.adapterFound) {
    report.adapter = info;
    channel.setDevicePath(info.devicePath);
    report.driver = ReadDriver(channel, info.chipFamily);
  }
  return report;
}

}  // namespace

int RunStatusCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool json = false;
  for (const auto& arg : args) {
    if (arg == "--json") {
      json = true;
    } else if (arg == "--help" || arg == "-h") {
      out << "usage: ovuictl status [--json]\n"
             "Finds the adapter as the utility does and prints what its driver reports.\n";
      return kExitOk;
    } else {
      err << "ERROR: unknown argument \"" << arg << "\"\nusage: ovuictl status [--json]\n";
      return kExitUsage;
    }
  }
  StatusReport report = GatherStatus();
  out << (json ? FormatStatusJson(report) : FormatStatusText(report));
  return kExitOk;
}

}  // namespace ov::cli
