#pragma once
#include <optional>
#include <string>
#include <vector>

// The switch tool's and the access-point utility's shared parts: the command line, the log
// line, and the adapter named by its hardware identifier.
namespace ov::sibling {

struct SwitchCommand {
  bool toAccessPoint = false;  // ON; OFF hands the adapter back to the station utility
  std::string stationUtility;  // "OvUI"
  std::string apUtility;       // "DeZA"
  std::string productName;     // "Orvane Wireless"
  std::string utilityName;     // "Orvane Wireless Utility"
  std::string hardwareId;
};

// ON|OFF <station utility> <AP utility> <product> <utility name> <hardware id>; nothing for
// anything else.
std::optional<SwitchCommand> ParseSwitchCommand(const std::vector<std::string>& args);

// The switch tool's arguments, as the utility gives them: ON (hand-over) or OFF (hand-back),
// the two utilities, the product and utility names, and the adapter's hardware identifier.
std::vector<std::string> SwitchArguments(bool toAccessPoint, const std::string& hardwareId);

// The command line as one log line: the program name and each argument, quoted where it has
// blanks or is empty.
std::string CommandLineText(const std::string& program, const std::vector<std::string>& args);

// Appends one line to <root>/tmp/<name>.log (the folder is created when missing).
bool AppendLog(const std::string& name, const std::string& line);

struct SwitchAdapter {
  std::string devicePath;      // "\\.\{GUID}"
  std::string adapterKeyPath;  // the driver key below the machine hive
};

// The present adapter whose first hardware identifier begins with `hardwareId` (compared as the
// utility compares it: first 21 characters, case-blind).
std::optional<SwitchAdapter> FindAdapter(const std::string& hardwareId);

// The station parameters the utility saved into "Default" before the hand-over, copied back into
// the adapter key (nothing when there is no such subkey). False when a value could not be copied.
bool RestoreStationParameters(const SwitchAdapter& adapter, std::string* error);

// OpMode into the adapter key and OID_VND_OP_MODE to the driver. False when either failed.
bool SetAdapterOpMode(const SwitchAdapter& adapter, uint32_t mode, std::string* error);

}  // namespace ov::sibling
