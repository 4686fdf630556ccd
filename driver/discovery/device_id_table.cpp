#include "driver/discovery/device_id_table.h"

#include "platform/ini/ini.h"
#include "platform/system/machine_root.h"

namespace ov {
namespace {

constexpr DeviceIdSection kSections[] = {
    {"WXP1", WXP1}, {"WXU1", WXU1}, {"WXP3", WXP3}, {"WXU3", WXU3}, {"WXP4", WXP4},
    {"WXU4", WXU4}, {"WXU5", WXU5}, {"WXU6", WXU6}, {"WXP5", WXP5},
};

// The maker's product lists go here in a deployment that does not use the INI table.
const std::vector<DeviceIdEntry>& BuiltInUsb() {
  static const std::vector<DeviceIdEntry> table;
  return table;
}
const std::vector<DeviceIdEntry>& BuiltInPci() {
  static const std::vector<DeviceIdEntry> table;
  return table;
}

// The buffer the identifier is read into holds 21 characters and the terminator.
constexpr uint32_t kIniValueChars = 22;

bool IsPciFamily(int32_t family) {
  return family == WXP1 || family == WXP3 || family == WXP4 || family == WXP5;
}
bool IsUsbTableFamily(int32_t family) {
  return family == WXU1 || family == WXU3 || family == WXU4 || family == WXU5 || family == WXU6;
}

const DeviceIdEntry* Find(const std::vector<DeviceIdEntry>& table, std::string_view id) {
  for (const DeviceIdEntry& entry : table) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

}  // namespace

std::span<const DeviceIdSection> DeviceIdSections() { return kSections; }

std::string DefaultProgramIniPath() { return (ProgramFolder() / "OvUI.INI").string(); }

std::vector<DeviceIdEntry> LoadDeviceIdTable(const std::string& iniPath) {
  std::vector<DeviceIdEntry> table;
  for (const DeviceIdSection& section : kSections) {
    for (int n = 1;; ++n) {
      const std::string key = "DeviceID_" + std::to_string(n);
      // Read a little more than 21 characters so that the cut below is ours, not the buffer's.
      const std::string value = IniReadString(iniPath, section.name, key, "", kIniValueChars);
      if (value.empty()) break;
      table.push_back({HardwareIdPrefix(value), section.family});
    }
  }
  return table;
}

std::span<const DeviceIdEntry> BuiltInUsbDeviceIds() { return BuiltInUsb(); }
std::span<const DeviceIdEntry> BuiltInPciDeviceIds() { return BuiltInPci(); }

DeviceIdTables LoadDeviceIdTables(const std::string& iniPath) {
  DeviceIdTables tables;
  tables.ini = LoadDeviceIdTable(iniPath);
  tables.builtInUsb = BuiltInUsb();
  tables.builtInPci = BuiltInPci();
  return tables;
}

bool MatchHardwareId(const DeviceIdTables& tables, std::string_view id, AdapterInfo& info,
                     MatchFlags& flags) {
  flags = MatchFlags{};
  if (!tables.ini.empty()) {
    if (const DeviceIdEntry* hit = Find(tables.ini, id)) {
      if (IsPciFamily(hit->family)) {
        flags.matchedPci = true;
        info.isUsbAdapter = false;
        info.chipFamily = hit->family;
      } else if (IsUsbTableFamily(hit->family)) {
        info.chipFamily = hit->family;
        info.isUsbAdapter = true;
        if (!flags.matchedPci) flags.matchedUsb = true;
      }
    }
    return flags.candidate();
  }
  if (const DeviceIdEntry* hit = Find(tables.builtInUsb, id)) {
    flags.matchedUsb = true;
    info.isUsbAdapter = true;
    info.chipFamily = hit->family;
  } else if (const DeviceIdEntry* hitPci = Find(tables.builtInPci, id)) {
    flags.matchedPci = true;
    info.isUsbAdapter = false;
    info.chipFamily = hitPci->family;
  }
  return flags.candidate();
}

std::optional<std::string> LegacyDriverDeviceName(int32_t /*chipFamily*/) { return std::nullopt; }

}  // namespace ov
