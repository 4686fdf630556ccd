#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace ov::cli {

// `ovuictl radio on|off`: the main window's radio button without the window. The software radio
// of the adapter's interface is switched, the adapter parameter "Radio" is written through the
// registry broker (so a standard user's write goes through the registry service), and a scan is
// asked for when the radio comes on.
int RunRadioCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ov::cli
