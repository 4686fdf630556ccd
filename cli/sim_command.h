#pragma once
#include <ostream>
#include <string>
#include <vector>

// `ovuictl sim ...`: tells the running ovsimd of the machine root to unplug, plug, hold busy or
// change the signal of a simulated adapter, or lists them.
namespace ov {

// `args` are the words after "sim": "unplug <adapter>", "plug <adapter>", "busy <adapter> <ms>",
// "signal <adapter> <dBm>", "list". Returns 0 on success, 1 when ovsimd refused or is not
// running, 2 for a usage error.
int RunSimCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ov
