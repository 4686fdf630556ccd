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
    "       ovuictl sim signal <adapter> <dBm>   the adapter's signal, -120 to 0\n"
    "       ovuictl sim radio <adapter> on|off   the adapter's radio switch\n"
    "       ovuictl sim wps-button <adapter>     press the adapter's WPS push button\n"
    "       ovuictl sim ap list\n"
    "       ovuictl sim ap add '<json>'          an access point as the scenario file gives one\n"
    "       ovuictl sim ap remove <bssid>\n"
    "       ovuictl sim ap move <bssid> <dBm>    its signal here, -120 to 0\n";

bool HasBlank(const std::string& word) {
  return word.empty() || word.find_first_of(" \t\r\n") != std::string::npos;
}

// The words of the command and how many follow it. The access point's JSON may hold blanks
// (it is sent as the rest of the line) but no line break.
bool WellFormed(const std::vector<std::string>& args) {
  if (args.empty()) return false;
  bool json = args.size() >= 3 && args[0] == "ap" && args[1] == "add";
  for (size_t i = 0; i < args.size(); ++i) {
    if (json && i >= 2) {
      if (args[i].find_first_of("\r\n") != std::string::npos) return false;
    } else if (HasBlank(args[i])) {
      return false;
    }
  }
  const std::string& command = args[0];
  if (command == "list") return args.size() == 1;
  if (command == "unplug" || command == "plug" || command == "wps-button") return args.size() == 2;
  if (command == "busy" || command == "signal" || command == "radio") return args.size() == 3;
  if (command == "ap" && args.size() >= 2) {
    const std::string& verb = args[1];
    if (verb == "list") return args.size() == 2;
    if (verb == "add") return args.size() >= 3;
    if (verb == "remove") return args.size() == 3;
    if (verb == "move") return args.size() == 4;
  }
  return false;
}

// "02:5A:0F:10:00:01/1/-48/4F72..." → "02:5A:0F:10:00:01  channel 1  -48 dBm  Orvane-Open".
std::string DescribeAccessPoint(const std::string& entry) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t slash; (slash = entry.find('/', start)) != std::string::npos; start = slash + 1) {
    parts.push_back(entry.substr(start, slash - start));
  }
  parts.push_back(entry.substr(start));
  if (parts.size() != 4) return entry;
  std::string ssid;
  for (size_t i = 0; i + 1 < parts[3].size(); i += 2) {
    ssid += static_cast<char>(std::stoi(parts[3].substr(i, 2), nullptr, 16));
  }
  return parts[0] + "  channel " + parts[1] + "  " + parts[2] + " dBm  " + ssid;
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
  if (args[0] == "ap" && args[1] == "list") {
    std::istringstream entries(rest);
    std::string entry;
    while (entries >> entry) out << DescribeAccessPoint(entry) << "\n";
    return 0;
  }
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
