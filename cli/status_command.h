#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace ov::cli {

// `ovuictl status [--json]`: finds the adapter as the utility does and prints what the driver
// reports about it.
int RunStatusCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ov::cli
