#include "cli/scan_command.h"

#include <chrono>
#include <initializer_list>
#include <optional>
#include <ostream>

#include "cli/cli.h"
#include "cli/message_inbox.h"
#include "cli/service_backend.h"
#include "cli/service_commands.h"
#include "cli/survey_rows.h"
#include "driver/discovery/adapter_discovery.h"
#include "driver/discovery/device_id_table.h"
#include "driver/discovery/net_devices.h"
#include "driver/oid_channel.h"
#include "driver/os_version.h"
#include "nativewifi/native_wifi_client.h"
#include "platform/deviceio/device_io.h"
#include "platform/system/machine_root.h"
#include "platform/time/monitor_messages.h"
#include "platform/time/virtual_clock.h"

namespace ov::cli {

namespace {

constexpr const char* kUsage = "usage: ovuictl scan [--json] [--adapter NAME]\n";
// A scan takes a few seconds on a real service; this only bounds a service that never answers.
constexpr auto kScanWait = std::chrono::seconds(20);

// The first message that is one of `wanted`, others dropped, waiting until the deadline.
std::optional<Message> WaitFor(MessageInbox& inbox, std::initializer_list<uint32_t> wanted,
                               std::chrono::steady_clock::time_point deadline) {
  while (auto m = inbox.take(deadline)) {
    for (uint32_t w : wanted) {
      if (m->message == w) return m;
    }
  }
  return std::nullopt;
}

// The adapter's name as the utility finds it: its friendly name, or its device description.
std::optional<std::string> DiscoverAdapterName() {
  const OsVersionCode code = CurrentOsVersionCode();
  RegistryNetDeviceSource devices;
  SocketDeviceIo deviceIo;
  VirtualClock clock;  // nothing waits: one pass of discovery per attempt
  OidChannel channel(deviceIo, clock);
  channel.setOsVersionCode(code);
  AdapterDiscovery discovery(devices, deviceIo, channel, LoadDeviceIdTables(DefaultProgramIniPath()), code);
  AdapterInfo info;
  for (int attempt = 0; attempt <= kNotReadyAttempts; ++attempt) {
    if (discovery.DiscoverAdapter(info)) return info.description;
    if (discovery.readinessCounter() == 0) break;
  }
  return std::nullopt;
}

void PrintJson(const std::string& adapter, const wlan::Guid& guid, const std::vector<SurveyRow>& rows,
               std::ostream& out) {
  out << "{\n  \"adapter\": " << Json(adapter) << ",\n  \"interface\": " << Json(wlan::FormatGuid(guid))
      << ",\n";
  PrintSurveyFieldLabels(out);
  out << ",\n  \"bss\": [";
  for (size_t i = 0; i < rows.size(); ++i) {
    out << (i ? ",\n" : "\n") << "    {\n      ";
    PrintSurveyJsonMembers(rows[i], out);
    out << "\n    }";
  }
  out << (rows.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

}  // namespace

int RunScanCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool json = false;
  std::optional<std::string> adapter;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--json") {
      json = true;
    } else if (arg == "--adapter" && i + 1 < args.size()) {
      adapter = args[++i];
    } else if (arg == "--help" || arg == "-h") {
      out << kUsage
          << "Asks the wireless service for a scan as the utility does, waits for the scan list\n"
             "and prints one row per BSS as the site survey lists it. --json gives every decoded\n"
             "form of each entry's information elements. The adapter is the one the utility\n"
             "finds, or the wireless interface described as NAME.\n";
      return kExitOk;
    } else {
      err << "ERROR: unknown argument \"" << arg << "\"\n" << kUsage;
      return kExitUsage;
    }
  }
  const ServiceBackend backend = ChosenServiceBackend();
  if (!adapter && backend.noVendorDriver) {
    // No vendor adapter to find: the service's first wireless interface.
    uint32_t version = 0;
    wlan::ClientHandle handle = 0;
    if (backend.service->OpenHandle(wlan::kClientVersion2, &version, &handle) == wlan::ERROR_SUCCESS) {
      if (auto found = FindServiceInterface(*backend.service, handle, "")) adapter = found->description;
      backend.service->CloseHandle(handle);
    }
  }
  if (!adapter) adapter = DiscoverAdapterName();
  if (!adapter) {
    err << "ERROR: no adapter found\n";
    return kExitFailed;
  }

  auto inbox = std::make_shared<MessageInbox>();
  NativeWifiClientServices services;
  services.service = backend.service;
  NativeWifiClient client(services);
  const uint32_t opened = client.Open(*adapter, MessageTarget(inbox), false);
  if (opened != ERROR_SUCCESS) {
    err << "ERROR: the wireless service does not answer (error " << opened << ")\n";
    return kExitFailed;
  }
  if (!client.InterfaceMatched()) {
    err << "ERROR: the wireless service has no interface for \"" << *adapter << "\"\n";
    return kExitFailed;
  }
  const uint32_t status = client.Scan();
  if (status != ERROR_SUCCESS) {
    err << "ERROR: the wireless service refused the scan (error " << status << ")\n";
    return kExitFailed;
  }
  const auto done = WaitFor(*inbox, {WM_MON_SCAN_DONE, WM_MON_SCAN_FAILED},
                            std::chrono::steady_clock::now() + kScanWait);
  if (!done) {
    err << "ERROR: no scan result within " << kScanWait.count() << " seconds\n";
    return kExitFailed;
  }
  if (done->message == WM_MON_SCAN_FAILED) {
    err << "ERROR: the scan failed\n";
    return kExitFailed;
  }

  std::vector<uint8_t> bssidListBuffer(kBssidListBufferSize);
  client.CopyScanList(bssidListBuffer);
  std::vector<SurveyRow> rows;
  for (std::span<const uint8_t> entry : BssidListEntries(bssidListBuffer)) {
    rows.push_back(DescribeSurveyRow(entry, true));
  }
  if (json) {
    PrintJson(*adapter, client.Interface().guid, rows, out);
  } else {
    PrintSurveyHeader(out);
    for (const SurveyRow& row : rows) PrintSurveyRow(row, out);
    out << rows.size() << (rows.size() == 1 ? " BSS" : " BSSs") << " on \"" << *adapter << "\"\n";
  }
  return kExitOk;
}

}  // namespace ov::cli
