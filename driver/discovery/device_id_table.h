#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/adapter_info.h"
#include "driver/chip_family.h"

// Which devices are supported adapters, and of which chip family: tables of hardware-identifier
// prefixes (the first 21 characters of a device's first hardware identifier, upper-cased).
namespace ov {

struct DeviceIdEntry {
  std::string id;  // upper-cased, at most 21 characters
  ChipFamily family = CHIP_FAMILY_NONE;
  bool operator==(const DeviceIdEntry&) const = default;
};

// The program INI's family sections in reading order.
struct DeviceIdSection {
  const char* name;
  ChipFamily family;
};
std::span<const DeviceIdSection> DeviceIdSections();

// "OvUI.INI" in the program's folder.
std::string DefaultProgramIniPath();

// The INI table: each family section's "DeviceID_1", "DeviceID_2", ... up to the first key that
// is missing or empty, entries upper-cased and cut to 21 characters, sections in reading order.
std::vector<DeviceIdEntry> LoadDeviceIdTable(const std::string& iniPath);

// The tables the matcher walks. The built-in lists are consulted only when the INI table is
// empty; they are deployment data and this build ships them empty, so a deployment lists its
// adapters in the program INI.
struct DeviceIdTables {
  std::vector<DeviceIdEntry> ini;
  std::vector<DeviceIdEntry> builtInUsb;
  std::vector<DeviceIdEntry> builtInPci;
};
std::span<const DeviceIdEntry> BuiltInUsbDeviceIds();
std::span<const DeviceIdEntry> BuiltInPciDeviceIds();
// The INI table of `iniPath` and the shipped built-in lists.
DeviceIdTables LoadDeviceIdTables(const std::string& iniPath);

// Set by a match; reset before each device is matched.
struct MatchFlags {
  bool matchedUsb = false;
  bool matchedPci = false;
  bool candidate() const { return matchedUsb || matchedPci; }
};

// Matches one device's identifier prefix (HardwareIdPrefix of its first hardware id). The flags
// are reset first; a hit sets them and the adapter's chipFamily and isUsbAdapter, a miss leaves
// the adapter untouched. Returns whether the device is a candidate.
bool MatchHardwareId(const DeviceIdTables& tables, std::string_view id, AdapterInfo& info,
                     MatchFlags& flags);

// The device name of a family's driver on the systems that name devices after the driver
// (version codes 4 and 5). Deployment data; this build ships none, so those systems find no
// device file.
std::optional<std::string> LegacyDriverDeviceName(int32_t chipFamily);

}  // namespace ov
