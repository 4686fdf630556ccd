#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The machine's present network-class devices, as device enumeration gives them: each device's
// properties and the values of its driver key. Discovery and the adapter selection dialog read
// devices only through this seam; tests put a table behind it.
namespace ov {

// The network device setup class.
constexpr const char* kNetClassGuid = "{4d36e972-e325-11ce-bfc1-08002be10318}";

struct NetDevice {
  std::string instancePath;  // the device's key below the enumeration tree ("PCI\VEN_..\3&..")
  std::vector<std::string> hardwareIds;  // most specific first
  std::string friendlyName;
  std::string deviceDesc;
  std::string driver;  // driver key name: "{class GUID}\0007"
  std::string locationInformation;
  std::string mfg;

  // The first hardware identifier, "" when the device has none.
  std::string firstHardwareId() const { return hardwareIds.empty() ? "" : hardwareIds.front(); }
  // The friendly name, or the device description when it has no friendly name.
  std::string displayName() const { return friendlyName.empty() ? deviceDesc : friendlyName; }
};

class NetDeviceSource {
 public:
  virtual ~NetDeviceSource() = default;
  // The present devices of the network class in enumeration order; nothing when the list cannot
  // be had at all (an empty list is a machine without such devices).
  virtual std::optional<std::vector<NetDevice>> EnumerateNetDevices() = 0;
  // One value of the device's driver key as raw bytes with its type; nothing when the key or the
  // value cannot be read. Read again at each call, as the driver key may change.
  struct Value {
    uint32_t type = 0;
    std::string data;
  };
  virtual std::optional<Value> ReadDriverValue(const NetDevice& device, std::string_view name) = 0;

  // A driver-key string value without its trailing NULs; nothing when it is missing or no string.
  std::optional<std::string> ReadDriverString(const NetDevice& device, std::string_view name);
};

// The registry, as the host keeps its devices:
//   HKLM\SYSTEM\CurrentControlSet\Enum\<bus>\<device>\<instance>  ClassGUID, HardwareID (multi-
//       string), FriendlyName, DeviceDesc, Driver, LocationInformation, Mfg
//   HKLM\SYSTEM\CurrentControlSet\Control\Class\<Driver>          NetCfgInstanceId, parameters
// A device is present while its device socket exists (the default test) — the socket named by
// its NetCfgInstanceId.
class RegistryNetDeviceSource final : public NetDeviceSource {
 public:
  using PresenceTest = std::function<bool(RegistryNetDeviceSource&, const NetDevice&)>;
  RegistryNetDeviceSource();
  explicit RegistryNetDeviceSource(PresenceTest present);

  std::optional<std::vector<NetDevice>> EnumerateNetDevices() override;
  std::optional<Value> ReadDriverValue(const NetDevice& device, std::string_view name) override;

  // The default presence test: the device socket of its NetCfgInstanceId exists.
  static bool DeviceSocketExists(RegistryNetDeviceSource& source, const NetDevice& device);

 private:
  PresenceTest present_;
};

constexpr const char* kEnumKeyPath = "SYSTEM\\CurrentControlSet\\Enum";
constexpr const char* kClassKeyPath = "SYSTEM\\CurrentControlSet\\Control\\Class";

}  // namespace ov
