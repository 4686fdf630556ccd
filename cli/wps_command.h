#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace ov::cli {

// `ovuictl wps [--data-dir DIR] list | apply [N]`: the WPS credentials stored for the discovered
// adapter, and the application of one of them as the utility applies a WPS credential, waiting
// for the connection.
int RunWpsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ov::cli
