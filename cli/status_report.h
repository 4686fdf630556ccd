#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "driver/adapter_info.h"
#include "driver/oid/radio_records.h"

// What `ovuictl status` gathers, apart from how it is printed.
namespace ov::cli {

struct DriverReadings {
  bool nicReady = false;
  std::optional<uint32_t> nicReadyValue;
  std::optional<LinkStatus> linkStatus;
  std::optional<int32_t> rssi[3];  // per receive chain; a chain that does not answer is absent
  std::optional<uint32_t> countryRegionWord;
  std::optional<uint32_t> extraInfo;
  // The SSID the adapter is associated with (empty while it is not).
  std::optional<std::string> ssid;
};

struct StatusReport {
  std::string machineRoot;
  int osVersionCode = 0;
  bool isAdmin = false;
  std::string languageId;
  std::string deviceIniPath;
  size_t deviceIdEntries = 0;
  bool adapterFound = false;
  AdapterInfo adapter;
  DriverReadings driver;
};

std::string FormatStatusText(const StatusReport& report);
std::string FormatStatusJson(const StatusReport& report);

}  // namespace ov::cli
