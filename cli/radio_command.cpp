#include "cli/radio_command.h"

#include <ostream>

#include "cli/adapter_session.h"
#include "cli/cli.h"

namespace ov::cli {

namespace {

constexpr const char* kUsage =
    "usage: ovuictl radio on|off\n"
    "Switches the adapter's radio as the utility's radio button does: the wireless interface's\n"
    "software radio and the adapter parameter \"Radio\" (written through the registry service for\n"
    "a user who may not write it). The adapter is found as the utility finds it.\n";

}  // namespace

int RunRadioCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    return kExitOk;
  }
  if (args.size() != 1 || (args[0] != "on" && args[0] != "off")) {
    return UsageError(err, "say on or off", kUsage);
  }
  const bool on = args[0] == "on";
  AdapterSession session{AdapterSessionOptions{}};
  if (!session.Discover()) {
    err << "ERROR: no supported adapter found\n";
    return kExitFailed;
  }
  const DataDirectory dataDir = ChosenDataDirectory(std::nullopt);
  std::string problem;
  if (!session.SetUp(dataDir.path, dataDir.shared, &problem)) {
    err << "ERROR: " << problem << "\n";
    return kExitFailed;
  }
  std::string failure;
  if (!session.SwitchRadio(on, &failure)) {
    err << "ERROR: " << failure << "\n";
    return kExitFailed;
  }
  out << "Radio " << (on ? "on" : "off") << "\n";
  return kExitOk;
}

}  // namespace ov::cli
