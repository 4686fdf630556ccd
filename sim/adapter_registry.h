#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sim/scenario.h"

// What the registry holds for a simulated adapter, in the machine hive, as the host keeps it for
// a network device: the device's Enum node (hardware identifiers, names, driver key name) and its
// driver key under the network class (NetCfgInstanceId, description, the adapter parameters).
namespace ov::sim {

inline constexpr char kNetClassGuid[] = "{4d36e972-e325-11ce-bfc1-08002be10318}";
inline constexpr char kEnumRootKey[] = "SYSTEM\\CurrentControlSet\\Enum";
inline constexpr char kNetClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}";

struct AdapterRegistryPaths {
  std::string enumKey;        // SYSTEM\CurrentControlSet\Enum\<bus>\<device>\<instance>
  std::string driverKeyName;  // {4d36e972-...}\NNNN, the Enum node's "Driver"
  std::string driverKey;      // SYSTEM\CurrentControlSet\Control\Class\{4d36e972-...}\NNNN
};

// The adapter parameters the simulated driver works from. Values it does not model (the
// advanced page's own settings, power save, 802.11h) are only written as defaults.
struct AdapterParameters {
  int32_t wirelessMode = 0;
  uint32_t countryRegion = 0;       // 2.4 GHz region code
  uint32_t countryRegionABand = 0;  // 5 GHz region code
  uint32_t channel = 1;
  uint32_t txBurst = 0;
  uint32_t bgProtection = 0;
  uint32_t turboRate = 0;
  uint32_t shortSlot = 1;
  bool radioOff = false;  // "Radio" = 1
  uint32_t opMode = 0;
  bool wmmCapable = false;
  bool apsdCapable = false;
  bool dlsCapable = false;
  std::array<bool, 4> apsdAc{};  // BE, BK, VI, VO
  // Absent by default: each has a meaning of its own when missing (the driver's own HT record,
  // the driver's own 802.11n options, no CCX word).
  std::optional<uint32_t> transmitSetting;
  std::optional<uint32_t> baCapability;
  std::optional<uint32_t> ccx2Control;
  bool operator==(const AdapterParameters&) const = default;
};

// What a fresh adapter starts with: its wireless mode follows its capabilities, the regions
// allow every channel it can use, transmit burst is on for the 802.11n generation.
AdapterParameters DefaultAdapterParameters(const AdapterSpec& spec);

// The same defaults as the registry values a freshly installed driver key holds (name, text).
std::vector<std::pair<std::string, std::string>> DefaultParameterValues(const AdapterSpec& spec);

// The Enum node's hardware and compatible identifiers.
std::vector<std::string> CompatibleIdsFor(const AdapterSpec& spec);

// Writes both keys. Identity values are rewritten each time; parameters are created only when
// missing, so a user's changes survive a restart. The driver key number is kept from an earlier
// run (the Enum node's "Driver", or a class key with the same NetCfgInstanceId), else the first
// free one is taken. False with a message naming the key on a registry failure.
bool WriteAdapterRegistry(const AdapterSpec& spec, AdapterRegistryPaths* paths, std::string* error);

// Reads the parameters from the driver key as the driver does when it starts: decimal strings
// (or numbers stored as REG_DWORD), each missing or unreadable value taking its default.
AdapterParameters ReadAdapterParameters(const AdapterSpec& spec, const std::string& driverKey);

}  // namespace ov::sim
