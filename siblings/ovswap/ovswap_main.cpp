// OvSwap: the switch between the station utility and the access-point utility, as a small
// stand-in. It logs its command line to <root>/tmp/OvSwap.log, then
//   ON  ... <hardware id>: puts the adapter into access-point mode (OpMode "1" and the driver's
//       operation mode 1) and starts the access-point utility from its own folder;
//   OFF ... <hardware id>: puts it back into station mode: the parameters saved in "Default"
//       back into the adapter key, OpMode "0", operation mode 0.
// Exit status: 0 done, 1 the adapter could not be found or changed, 2 a bad command line.
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/system/machine_root.h"
#include "siblings/ovswap/sibling_switch.h"
#include "platform/system/guarded_main.h"

extern char** environ;

static int RunProgram(int argc, char** argv) {
  using namespace ov::sibling;
  std::vector<std::string> args(argv + 1, argv + argc);
  const std::string line = CommandLineText("OvSwap", args);
  AppendLog("OvSwap", line);
  std::printf("%s\n", line.c_str());

  auto command = ParseSwitchCommand(args);
  if (!command) {
    std::fprintf(stderr,
                 "usage: OvSwap ON|OFF <station utility> <AP utility> <product> <utility name> "
                 "<hardware id>\n");
    AppendLog("OvSwap", "  refused: bad command line");
    return 2;
  }
  auto adapter = FindAdapter(command->hardwareId);
  if (!adapter) {
    AppendLog("OvSwap", "  no present adapter with hardware id " + command->hardwareId);
    std::fprintf(stderr, "OvSwap: no present adapter with hardware id %s\n",
                 command->hardwareId.c_str());
    return 1;
  }
  std::string error;
  // The station utility's own parameters come back with the adapter.
  const bool restored = command->toAccessPoint || RestoreStationParameters(*adapter, &error);
  const bool changed = SetAdapterOpMode(*adapter, command->toAccessPoint ? 1 : 0, &error);
  AppendLog("OvSwap", std::string("  ") + adapter->devicePath + (command->toAccessPoint
                                                                    ? " -> access point"
                                                                    : " -> station") +
                          (changed && restored ? "" : " (" + error + ")"));
  if (command->toAccessPoint) {
    const std::string utility = (ov::ProgramFolder() / command->apUtility).string();
    std::vector<std::string> utilityArgs = {utility, "--adapter", command->hardwareId};
    std::vector<char*> argvOut;
    for (auto& a : utilityArgs) argvOut.push_back(a.data());
    argvOut.push_back(nullptr);
    pid_t pid = 0;
    // Not waited for: the access-point utility runs on its own.
    if (posix_spawn(&pid, utility.c_str(), nullptr, nullptr, argvOut.data(), environ) == 0) {
      AppendLog("OvSwap", "  started " + command->apUtility);
    } else {
      AppendLog("OvSwap", "  could not start " + utility);
    }
  }
  return changed && restored ? 0 : 1;
}

int main(int argc, char** argv) {
  return ov::GuardedMain("OvSwap", [&] { return RunProgram(argc, argv); });
}
