#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/chip_family.h"
#include "sim/access_point.h"
#include "platform/system/mac_address.h"

// The world ovsimd simulates, as read from a scenario file (JSON; the format is in README.md).
// Parsing checks everything up front, so that a malformed file stops the simulator before it
// creates anything.
namespace ov::sim {


// A station associated with the adapter while it serves as an access point.
constexpr size_t kMaxApStations = 32;
struct ApStation {
  MacAddress mac{};
  int32_t signalDbm = -60;  // as the adapter hears it
};

struct AdapterSpec {
  std::string name;  // the control socket's handle for the adapter: letters, digits, '_', '-', '.'
  ChipFamily family = CHIP_FAMILY_NONE;
  std::string hardwareId;  // first hardware identifier, "PCI\VEN_...&DEV_..." or "USB\VID_...&PID_..."
  std::vector<std::string> compatibleIds;  // empty: derived from the hardware identifier
  std::string friendlyName;
  std::string deviceDescription;
  std::string manufacturer;  // "Mfg"
  std::string location;      // "LocationInformation"
  MacAddress mac{};
  int receiveChains = 1;  // 1..3
  bool band5GHz = false;
  bool no40Mhz24 = false;  // the EEPROM forbids 40 MHz at 2.4 GHz
  bool no40Mhz5 = false;   // and at 5 GHz
  uint32_t startupDelayMs = 0;  // until OID_VND_NIC_READY answers 1
  int32_t signalDbm = -55;      // RSSI of chain 0; the other chains read a little lower
  std::string guid;             // NetCfgInstanceId "{...}"; derived from the MAC when not given
  std::string instance;         // Enum instance name; derived when not given
  std::vector<ApStation> apStations;  // associated while OpMode is 1; MACs unique
  // The driver's IHV extension runs the diagnostic test it is asked for; a silent one accepts the
  // request and never reports back (an extension that hangs, or a network without the channel).
  bool ihvDiagnosticsSilent = false;
};

struct Scenario {
  std::vector<AdapterSpec> adapters;
  std::vector<AccessPointSpec> accessPoints;  // BSSIDs unique
};

// Parses scenario text. On failure returns false and sets *error to one line naming the place
// ("adapters[0].mac: ...", "access_points[2].passphrase: ..."). Relative capture paths of
// access points are resolved against `baseDir` (the scenario file's folder).
bool ParseScenario(std::string_view json, Scenario* scenario, std::string* error,
                   const std::string& baseDir = "");
bool LoadScenarioFile(const std::string& path, Scenario* scenario, std::string* error);

// "02:5A:0F:00:06:01" or with '-' separators; nothing for anything else.
std::optional<MacAddress> ParseMac(std::string_view text);
std::string FormatMac(const MacAddress& mac, char separator = ':');

// "PCI" or "USB" and the rest of the hardware identifier ("VEN_0F5A&DEV_0601&SUBSYS_00010F5A").
struct HardwareIdParts {
  std::string bus;
  std::string device;
};
std::optional<HardwareIdParts> SplitHardwareId(std::string_view hardwareId);

}  // namespace ov::sim
