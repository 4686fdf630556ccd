#include "cli/cli.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "cli/connect_command.h"
#include "cli/decode_command.h"
#include "cli/profile_command.h"
#include "cli/radio_command.h"
#include "cli/reg_command.h"
#include "cli/scan_command.h"
#include "cli/service_backend.h"
#include "cli/service_commands.h"
#include "cli/sim_command.h"
#include "cli/status_command.h"
#include "cli/wps_command.h"

namespace ov::cli {

namespace {

const CliCommand kCommands[] = {
    // Commands over other subsystems ("status", "scan", "profile", ...) join this table, each
    // with its own Run...Command function in its own file.
    {"status", "find the adapter and show what its driver reports", RunStatusCommand},
    {"profile", "list, show, export, import, print as XML, activate or delete stored profiles", RunProfileCommand},
    {"reg", "query, set, delete, export and import registry keys", RunRegCommand},
    {"decode", "decode the beacons and probe responses of a capture like the site survey", RunDecodeCommand},
    {"scan", "scan with the wireless service and list the networks like the site survey", RunScanCommand},
    {"wps", "list the stored WPS credentials or apply one and wait for the connection", RunWpsCommand},
    {"connect", "connect to a network in range as the site survey's Connect does", RunConnectCommand},
    {"radio", "switch the adapter's radio on or off as the utility's radio button does", RunRadioCommand},
    {"sim", "unplug, plug, slow down or change the signal of a simulated adapter", RunSimCommand},
};

void PrintUsage(std::ostream& out) {
  out << "usage: ovuictl <command> [arguments]\n\ncommands:\n";
  // The summaries start in one column, after the longest name.
  size_t nameWidth = 0;
  for (const CliCommand& command : kCommands) nameWidth = std::max(nameWidth, std::strlen(command.name));
  for (const CliCommand& command : kCommands) {
    out << "  " << command.name << std::string(nameWidth - std::strlen(command.name) + 4, ' ')
        << command.summary << "\n";
  }
  out << "\n'ovuictl <command> --help' describes a command.\n";
}

}  // namespace

std::span<const CliCommand> Commands() { return kCommands; }

int UsageError(std::ostream& err, std::string_view problem, std::string_view usage) {
  err << "ERROR: " << problem << "\n" << usage;
  return kExitUsage;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    PrintUsage(err);
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintUsage(out);
    return kExitOk;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  const bool help = std::find(rest.begin(), rest.end(), "--help") != rest.end();
  // Without a vendor driver (NetworkManager) status, connect and the profile list are the
  // wireless service's; the stored profiles and the driver's commands need the vendor's.
  if (!help && (args[0] == "status" || args[0] == "connect" || (args[0] == "profile" && !rest.empty() && rest[0] == "list"))) {
    const ServiceBackend backend = ChosenServiceBackend();
    if (backend.noVendorDriver) {
      if (args[0] == "status") return RunServiceStatus(*backend.service, rest, out, err);
      if (args[0] == "connect") return RunServiceConnect(*backend.service, rest, nullptr, out, err);
      return RunServiceProfileList(*backend.service, rest, out, err);
    }
  }
  for (const CliCommand& command : kCommands) {
    if (args[0] == command.name) return command.run(rest, out, err);
  }
  err << "ERROR: unknown command \"" << args[0] << "\"\n";
  PrintUsage(err);
  return kExitUsage;
}

}  // namespace ov::cli
