#include "cli/sim_command.h"

#include <sstream>

#include "sim/sim_control_client.h"

namespace ov {

namespace {

constexpr char kUsage[] =
    "usage: ovuictl sim list\n"
    "       ovuictl sim unplug <adapter>\n"
    "       ovuictl sim plug <adapter>\n"
    "       ovuictl sim busy <adapter> <ms>      every set fails for <ms> milliseconds\n"
    "       ovuictl sim signal <adapter> <dBm>   the adapter's signal, -120 to 0\n";

bool HasBlank(const std::string& word) {
  return word.empty() || word.find_first_of(" \t\r\n") != std::string::npos;
}

// The words of the command and how many follow it.
bool WellFormed(const std::vector<std::string>& args) {
  if (args.empty()) return false;
  for (const std::string& word : args) {
    if (HasBlank(word)) return false;
  }
  const std::string& command = args[0];
  if (command == "list") return args.size() == 1;
  if (command == "unplug" || command == "plug") return args.size() == 2;
  if (command == "busy" || command == "signal") return args.size() == 3;
  return false;
}

}  // namespace

int RunSimCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    return 0;
  }
  if (!WellFormed(args)) {
    err << kUsage;
    return 2;
  }
  std::string line;
  for (const std::string& word : args) line += (line.empty() ? "" : " ") + word;

  std::string reply;
  std::string error;
  if (!sim::SimControlRequest(line, &reply, &error)) {
    err << "ovuictl sim: " << error << "\n";
    return 1;
  }
  if (reply.rfind("ok", 0) != 0 || (reply.size() > 2 && reply[2] != ' ')) {
    std::string message = reply.rfind("error ", 0) == 0 ? reply.substr(6) : reply;
    err << "ovuictl sim: " << message << "\n";
    return 1;
  }
  std::string rest = reply.size() > 3 ? reply.substr(3) : "";
  if (args[0] == "list") {
    // One adapter a line: "wlan0 plugged".
    std::istringstream entries(rest);
    std::string entry;
    while (entries >> entry) {
      size_t colon = entry.rfind(':');
      out << (colon == std::string::npos ? entry
                                         : entry.substr(0, colon) + " " + entry.substr(colon + 1))
          << "\n";
    }
    return 0;
  }
  out << rest << "\n";
  return 0;
}

}  // namespace ov
