#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the access-point utility shows: the adapter named by its hardware identifier, whether it
// serves as an access point, the network it serves (SSID and channel from the adapter key, where
// the hand-over left the "ApDefault" set) and the stations associated with it, as the simulator
// reports them. Plain C++: the window only draws this.
namespace ov::deza {

struct AssociatedStation {
  std::string mac;  // "02-5A-0F-30-00-01", the program's MAC form
  int32_t signalDbm = 0;
};

enum class AdapterMode {
  Absent,         // no present adapter with this hardware identifier
  NoAnswer,       // the driver does not answer OID_VND_OP_MODE
  Station,        // operation mode 0
  AccessPoint,    // operation mode 1
};

struct AccessPointStatus {
  AdapterMode mode = AdapterMode::Absent;
  std::string ssid;                 // empty: the adapter key holds none
  std::optional<uint32_t> channel;  // nothing: none, or not a number
  // Only while serving as an access point; nothing with `stationsProblem` saying why.
  std::optional<std::vector<AssociatedStation>> stations;
  std::string stationsProblem;
};

// The control socket's answer to "stations NAME": "ok" and MAC/DBM pairs. Nothing, with *why,
// for an error reply or anything malformed.
std::optional<std::vector<AssociatedStation>> ParseStationsReply(std::string_view reply,
                                                                 std::string* why);

// The NetCfgInstanceId in a device path "\\.\{GUID}"; empty when the path has another form.
std::string InstanceIdOfDevicePath(std::string_view devicePath);

// Reads everything now, under the current machine root.
AccessPointStatus ReadAccessPointStatus(const std::string& hardwareId);

// The status as lines of text ("SSID: SoftAP-01", ...), for the command line.
std::string StatusText(const AccessPointStatus& status);

}  // namespace ov::deza
