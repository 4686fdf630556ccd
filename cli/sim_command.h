#pragma once
#include <ostream>
#include <string>
#include <vector>

// `ovuictl sim ...`: tells the running ovsimd of the machine root to unplug, plug, hold busy,
// change the signal of or switch the radio of a simulated adapter, lists them, and adds,
// removes, moves or lists the access points of the simulated radio world.
namespace ov {

// `args` are the words after "sim": "unplug <adapter>", "plug <adapter>", "busy <adapter> <ms>",
// "signal <adapter> <dBm>", "radio <adapter> on|off", "list", "ap list", "ap add <json>" (the
// JSON may come as several words), "ap remove <bssid>", "ap move <bssid> <dBm>". Returns 0 on success, 1 when ovsimd refused or is not
// running, 2 for a usage error.
int RunSimCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ov
