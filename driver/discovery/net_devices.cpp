#include "driver/discovery/net_devices.h"

#include <filesystem>

#include "platform/deviceio/device_protocol.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "platform/system/ascii_text.h"

namespace ov {
namespace {

std::string ReadStringOrEmpty(HKEY key, std::string_view name) {
  return RegReadString(key, "", name).value_or("");
}

// HardwareID is a multi-string; a plain string is taken as a list of one.
std::vector<std::string> ReadHardwareIds(HKEY key) {
  RegValue value;
  if (RegReadValue(key, "", "HardwareID", &value) != ERROR_SUCCESS) return {};
  if (value.type == REG_MULTI_SZ) return DecodeMultiString(value.data);
  if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
    std::string id = DecodeString(value.data);
    if (!id.empty()) return {id};
  }
  return {};
}

// Subkey names of `path`; nothing on a read error other than a missing key.
std::optional<std::vector<std::string>> SubKeysOf(const std::string& path) {
  RegKey key;
  const uint32_t err = key.open(HKEY_LOCAL_MACHINE, path, KEY_READ);
  if (err == ERROR_FILE_NOT_FOUND) return std::vector<std::string>{};
  if (err != ERROR_SUCCESS) return std::nullopt;
  std::vector<std::string> names;
  if (RegListSubKeys(key.get(), &names) != ERROR_SUCCESS) return std::nullopt;
  return names;
}

}  // namespace

std::optional<std::string> NetDeviceSource::ReadDriverString(const NetDevice& device,
                                                             std::string_view name) {
  auto value = ReadDriverValue(device, name);
  if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::nullopt;
  return DecodeString(value->data);
}

RegistryNetDeviceSource::RegistryNetDeviceSource() : present_(&DeviceSocketExists) {}

RegistryNetDeviceSource::RegistryNetDeviceSource(PresenceTest present)
    : present_(std::move(present)) {}

std::optional<std::vector<NetDevice>> RegistryNetDeviceSource::EnumerateNetDevices() {
  const std::string root = kEnumKeyPath;
  auto buses = SubKeysOf(root);
  if (!buses) return std::nullopt;
  std::vector<NetDevice> devices;
  for (const std::string& bus : *buses) {
    const std::string busPath = root + "\\" + bus;
    auto deviceNames = SubKeysOf(busPath);
    if (!deviceNames) return std::nullopt;
    for (const std::string& deviceName : *deviceNames) {
      const std::string devicePath = busPath + "\\" + deviceName;
      auto instances = SubKeysOf(devicePath);
      if (!instances) return std::nullopt;
      for (const std::string& instance : *instances) {
        RegKey key;
        if (key.open(HKEY_LOCAL_MACHINE, devicePath + "\\" + instance, KEY_READ) !=
            ERROR_SUCCESS) {
          continue;  // removed while we walked
        }
        if (!EqualsIgnoringAsciiCase(ReadStringOrEmpty(key.get(), "ClassGUID"), kNetClassGuid)) {
          continue;
        }
        NetDevice device;
        device.instancePath = bus + "\\" + deviceName + "\\" + instance;
        device.hardwareIds = ReadHardwareIds(key.get());
        device.friendlyName = ReadStringOrEmpty(key.get(), "FriendlyName");
        device.deviceDesc = ReadStringOrEmpty(key.get(), "DeviceDesc");
        device.driver = ReadStringOrEmpty(key.get(), "Driver");
        device.locationInformation = ReadStringOrEmpty(key.get(), "LocationInformation");
        device.mfg = ReadStringOrEmpty(key.get(), "Mfg");
        if (present_ && present_(*this, device)) devices.push_back(std::move(device));
      }
    }
  }
  return devices;
}

std::optional<NetDeviceSource::Value> RegistryNetDeviceSource::ReadDriverValue(
    const NetDevice& device, std::string_view name) {
  if (device.driver.empty()) return std::nullopt;
  RegValue value;
  if (RegReadValue(HKEY_LOCAL_MACHINE, std::string(kClassKeyPath) + "\\" + device.driver, name,
                   &value) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return Value{value.type, std::move(value.data)};
}

bool RegistryNetDeviceSource::DeviceSocketExists(RegistryNetDeviceSource& source,
                                                 const NetDevice& device) {
  auto id = source.ReadDriverString(device, "NetCfgInstanceId");
  if (!id || id->empty()) return false;
  auto socket = DeviceSocketPath(DevicePathFor(*id));
  if (!socket) return false;
  std::error_code ec;
  return std::filesystem::is_socket(*socket, ec);
}

}  // namespace ov
