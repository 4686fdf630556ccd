#include "siblings/ovswap/sibling_switch.h"

#include <filesystem>
#include <fstream>

#include "driver/adapter_info.h"
#include "driver/discovery/net_devices.h"
#include "driver/oid/oid_requests.h"
#include "driver/oid_channel.h"
#include "driver/os_version.h"
#include "driver/params/adapter_params.h"
#include "driver/params/parameter_sets.h"
#include "driver/params/registry_writer.h"
#include "platform/deviceio/device_io.h"
#include "platform/system/machine_root.h"
#include "platform/time/virtual_clock.h"

namespace ov::sibling {

std::optional<SwitchCommand> ParseSwitchCommand(const std::vector<std::string>& args) {
  if (args.size() != 6) return std::nullopt;
  SwitchCommand c;
  if (args[0] == "ON") {
    c.toAccessPoint = true;
  } else if (args[0] != "OFF") {
    return std::nullopt;
  }
  c.stationUtility = args[1];
  c.apUtility = args[2];
  c.productName = args[3];
  c.utilityName = args[4];
  c.hardwareId = args[5];
  if (c.hardwareId.empty()) return std::nullopt;
  return c;
}

std::vector<std::string> SwitchArguments(bool toAccessPoint, const std::string& hardwareId) {
  return {toAccessPoint ? "ON" : "OFF", "OvUI", "DeZA", "Orvane Wireless", "Orvane Wireless Utility",
          hardwareId};
}

std::string CommandLineText(const std::string& program, const std::vector<std::string>& args) {
  std::string line = program;
  for (const std::string& a : args) {
    line += ' ';
    if (a.empty() || a.find_first_of(" \t\"") != std::string::npos) {
      line += '"';
      for (char ch : a) {
        if (ch == '"') line += '\\';
        line += ch;
      }
      line += '"';
    } else {
      line += a;
    }
  }
  return line;
}

bool AppendLog(const std::string& name, const std::string& line) {
  std::error_code ec;
  const std::filesystem::path folder = UnderRoot("tmp");
  std::filesystem::create_directories(folder, ec);
  std::ofstream out(folder / (name + ".log"), std::ios::app);
  out << line << '\n';
  return static_cast<bool>(out);
}

std::optional<SwitchAdapter> FindAdapter(const std::string& hardwareId) {
  RegistryNetDeviceSource devices;
  auto list = devices.EnumerateNetDevices();
  if (!list) return std::nullopt;
  const std::string wanted = HardwareIdPrefix(hardwareId);
  for (const NetDevice& device : *list) {
    if (HardwareIdPrefix(device.firstHardwareId()) != wanted) continue;
    auto guid = devices.ReadDriverString(device, "NetCfgInstanceId");
    if (!guid || guid->empty()) continue;
    return SwitchAdapter{"\\\\.\\" + *guid,
                         MakeAdapterKeyPath(kLinuxOsVersionCode, device.driver)};
  }
  return std::nullopt;
}

bool RestoreStationParameters(const SwitchAdapter& adapter, std::string* error) {
  DirectRegistryWriter writer;
  const CopyResult result = CopyParameterValues(
      writer, SubKeyPath(adapter.adapterKeyPath, "Default"), adapter.adapterKeyPath);
  // Nothing saved: the key is left as it is.
  if (result.outcome != CopyOutcome::Copied && result.outcome != CopyOutcome::SourceMissing) {
    if (error) *error += "the station parameters could not be restored; ";
    return false;
  }
  return true;
}

bool SetAdapterOpMode(const SwitchAdapter& adapter, uint32_t mode, std::string* error) {
  bool ok = true;
  DirectRegistryWriter writer;
  if (WriteDecimalParam(writer, adapter.adapterKeyPath, param::kOpMode,
                        static_cast<int32_t>(mode)) != 0) {
    ok = false;
    if (error) *error += "OpMode could not be written; ";
  }
  SocketDeviceIo io;
  VirtualClock clock;  // the tool ends before a retry would fall due
  OidChannel channel(io, clock);
  channel.setOsVersionCode(kLinuxOsVersionCode);
  channel.setDevicePath(adapter.devicePath);
  if (!SetOpMode(channel, mode)) {
    ok = false;
    if (error) *error += "the driver refused OID_VND_OP_MODE; ";
  }
  return ok;
}

}  // namespace ov::sibling
