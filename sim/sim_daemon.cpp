#include "sim/sim_daemon.h"

#include "driver/params/registry_writer.h"
#include "sim/simulated_driver_file.h"

#include "platform/system/daemon_support.h"

#include <filesystem>
#include <sstream>

#include "platform/deviceio/device_protocol.h"
#include "platform/deviceio/device_socket_server.h"
#include "platform/system/machine_root.h"
#include "platform/system/ascii_text.h"
#include "platform/system/hex_text.h"

namespace ov::sim {

namespace {

constexpr int64_t kMaxBusyMs = 3600000;

bool SameName(std::string_view a, std::string_view b) { return EqualsIgnoringAsciiCase(a, b); }

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::istringstream in{std::string(line)};
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

// A whole decimal number within [min, max].
bool ParseInteger(const std::string& text, int64_t min, int64_t max, int64_t* value) {
  if (text.empty() || text.size() > 12) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
  }
  if (text[0] == '-') v = -v;
  if (v < min || v > max) return false;
  *value = v;
  return true;
}

}  // namespace

struct SimDaemon::Adapter {
  std::unique_ptr<SimulatedAdapter> driver;
  AdapterRegistryPaths paths;
  std::string socketPath;
  DeviceSocketServer server;
};

SimDaemon::SimDaemon(const SimClock& clock) : clock_(clock), wlan_(clock), wlanServer_(wlan_, clock) {}

SimDaemon::~SimDaemon() { stop(); }

bool SimDaemon::start(const Scenario& scenario, std::string* error) {
  stop();
  adapters_.clear();
  std::error_code ec;
  std::filesystem::create_directories(DeviceSocketFolder(), ec);
  if (ec) {
    *error = "cannot create " + DeviceSocketFolder() + ": " + ec.message();
    return false;
  }
  OpenFolderToEveryone(DeviceSocketFolder());
  // The host's TCP/IP parameters key, which every host has (the advanced page writes there).
  DirectRegistryWriter().CreateKey(HKEY_LOCAL_MACHINE,
                                   "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters");
  for (const AdapterSpec& spec : scenario.adapters) {
    auto adapter = std::make_unique<Adapter>();
    std::string why;
    if (!WriteAdapterRegistry(spec, &adapter->paths, &why)) {
      *error = spec.name + ": " + why;
      adapters_.clear();
      return false;
    }
    if (!WriteSimulatedDriverFile(spec, &why)) {
      *error = spec.name + ": " + why;
      adapters_.clear();
      return false;
    }
    auto socketPath = DeviceSocketPath(DevicePathFor(spec.guid));
    if (!socketPath) {
      *error = spec.name + ": no device socket for " + spec.guid;
      adapters_.clear();
      return false;
    }
    adapter->socketPath = *socketPath;
    adapter->driver = std::make_unique<SimulatedAdapter>(spec, clock_);
    // The device socket's thread sets the mode; the wireless service follows it.
    adapter->driver->setOpModeObserver([this, name = spec.name] {
      wlan_.accessPointModeChanged(name);
      wlanChanged();
    });
    if (netns_) {
      adapter->driver->setLinkObserver(
          [links = netns_, index = adapters_.size(), mac = spec.mac](bool associated) {
            links->LinkChanged(index, mac, associated);
          });
    }
    adapters_.push_back(std::move(adapter));
  }
  for (auto& adapter : adapters_) {
    if (!plug(*adapter, error)) {
      stop();
      adapters_.clear();
      return false;
    }
  }
  for (auto& adapter : adapters_) wlan_.addInterface(adapter->driver.get());
  for (const AccessPointSpec& ap : scenario.accessPoints) {
    if (!wlan_.addAccessPoint(ap, error)) {
      stop();
      return false;
    }
  }
  shareWpsWorld();
  return true;
}

void SimDaemon::shareWpsWorld() {
  const std::vector<AccessPointSpec> world = wlan_.accessPoints();
  for (auto& adapter : adapters_) adapter->driver->setWpsWorld(world);
}

bool SimDaemon::startWlanService(std::string* error) {
  wlan_.setProfileFolder(UnderRoot("var/lib/ovsimd/wlansvc").string());
  std::string path = UnderRoot("run/ovui/wlansvc").string();
  if (!wlanServer_.start(path)) {
    *error = "cannot create the wireless service socket " + path;
    return false;
  }
  return true;
}

void SimDaemon::stop() {
  wlanServer_.stop();
  for (auto& adapter : adapters_) unplug(*adapter);
}

void SimDaemon::wlanChanged() { wlanServer_.wake(); }

bool SimDaemon::plug(Adapter& adapter, std::string* error) {
  if (adapter.server.running()) return true;
  const AdapterSpec& spec = adapter.driver->spec();
  adapter.driver->start(ReadAdapterParameters(spec, adapter.paths.driverKey));
  SimulatedAdapter* driver = adapter.driver.get();
  wlan_.setInterfacePresent(spec.name, true);
  // The restarted driver took OpMode from its parameters.
  wlan_.accessPointModeChanged(spec.name);
  wlanChanged();
  bool started = adapter.server.start(
      adapter.socketPath,
      [driver](uint32_t code, uint32_t oid, std::vector<uint8_t>& buffer, uint32_t* returned) {
        return driver->handleRequest(code, oid, buffer, returned);
      });
  if (!started) {
    *error = spec.name + ": cannot create the device socket " + adapter.socketPath;
    return false;
  }
  return true;
}

void SimDaemon::unplug(Adapter& adapter) {
  adapter.server.stop();
  wlan_.setInterfacePresent(adapter.driver->spec().name, false);
  wlanChanged();
}

SimDaemon::Adapter* SimDaemon::find(std::string_view name) {
  for (auto& adapter : adapters_) {
    const AdapterSpec& spec = adapter->driver->spec();
    if (SameName(spec.name, name) || SameName(spec.guid, name)) return adapter.get();
  }
  return nullptr;
}

const SimDaemon::Adapter* SimDaemon::find(std::string_view name) const {
  return const_cast<SimDaemon*>(this)->find(name);
}

SimulatedAdapter* SimDaemon::adapter(std::string_view name) {
  Adapter* found = find(name);
  return found ? found->driver.get() : nullptr;
}

const AdapterRegistryPaths* SimDaemon::registryPaths(std::string_view name) const {
  const Adapter* found = find(name);
  return found ? &found->paths : nullptr;
}

std::string SimDaemon::execute(std::string_view line) {
  std::vector<std::string> words = Words(line);
  if (words.empty()) {
    return "error empty command (list, plug, unplug, busy, signal, radio, wps-button, ap, stations, station)";
  }
  const std::string& command = words[0];
  if (command == "ap") return executeAccessPoint(words, line);
  if (command == "stations" || command == "station") return executeStations(words);

  if (command == "list") {
    if (words.size() != 1) return "error usage: list";
    std::string reply = "ok";
    for (const auto& adapter : adapters_) {
      reply += " " + adapter->driver->spec().name +
               (adapter->server.running() ? ":plugged" : ":unplugged");
    }
    return reply;
  }

  struct Usage {
    const char* command;
    size_t words;
    const char* text;
  };
  static constexpr Usage kUsages[] = {
      {"unplug", 2, "unplug NAME"},
      {"plug", 2, "plug NAME"},
      {"busy", 3, "busy NAME MS"},
      {"signal", 3, "signal NAME DBM"},
      {"radio", 3, "radio NAME on|off"},
      {"wps-button", 2, "wps-button NAME"},
  };
  const Usage* usage = nullptr;
  for (const Usage& u : kUsages) {
    if (command == u.command) usage = &u;
  }
  if (!usage) {
    return "error unknown command \"" + command +
           "\" (list, plug, unplug, busy, signal, radio, wps-button, ap, stations, station)";
  }
  if (words.size() != usage->words) return std::string("error usage: ") + usage->text;
  Adapter* adapter = find(words[1]);
  if (!adapter) return "error no adapter named \"" + words[1] + "\"";
  const std::string& name = adapter->driver->spec().name;

  if (command == "unplug") {
    unplug(*adapter);
    return "ok unplugged " + name;
  }
  if (command == "plug") {
    std::string error;
    if (!plug(*adapter, &error)) return "error " + error;
    return "ok plugged " + name;
  }
  if (command == "wps-button") {
    if (!adapter->server.running()) return "error " + name + " is unplugged";
    adapter->driver->pressWpsButton();
    return "ok wps-button " + name;
  }
  if (command == "radio") {
    if (words[2] != "on" && words[2] != "off") return "error radio: say on or off";
    wlan_.setHardwareRadio(name, words[2] == "on");
    wlanChanged();
    return "ok radio " + name + " " + words[2];
  }
  int64_t value = 0;
  if (command == "busy") {
    if (!ParseInteger(words[2], 0, kMaxBusyMs, &value)) {
      return "error busy: MS must be a whole number from 0 to " + std::to_string(kMaxBusyMs);
    }
    adapter->driver->setBusyFor(static_cast<uint32_t>(value));
    return "ok busy " + name + " " + std::to_string(value);
  }
  if (!ParseInteger(words[2], -120, 0, &value)) {
    return "error signal: DBM must be a whole number from -120 to 0";
  }
  adapter->driver->setSignal(static_cast<int32_t>(value));
  return "ok signal " + name + " " + std::to_string(value);
}

}  // namespace ov::sim

namespace ov::sim {

std::string SimDaemon::executeAccessPoint(const std::vector<std::string>& words,
                                          std::string_view line) {
  static constexpr char kUsage[] =
      "error usage: ap list | ap add JSON | ap remove BSSID | ap move BSSID DBM";
  if (words.size() < 2) return kUsage;
  const std::string& verb = words[1];
  if (verb == "list") {
    if (words.size() != 2) return kUsage;
    std::string reply = "ok";
    for (const AccessPointSpec& ap : wlan_.accessPoints()) {
      const std::string hex = HexEncode(
          std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(ap.ssid.data()), ap.ssid.size()));
      reply += " " + FormatMac(ap.bssid) + "/" + std::to_string(ap.channel) + "/" +
               std::to_string(ap.signalDbm) + "/" + hex;
    }
    return reply;
  }
  if (verb == "add") {
    size_t at = line.find("add");
    std::string_view json = at == std::string_view::npos ? std::string_view() : line.substr(at + 3);
    AccessPointSpec spec;
    std::string error;
    if (!ParseAccessPointJson(json, "", &spec, &error)) return "error ap add: " + error;
    if (!wlan_.addAccessPoint(spec, &error)) return "error ap add: " + error;
    shareWpsWorld();
    return "ok added " + FormatMac(spec.bssid);
  }
  if (verb != "remove" && verb != "move") return kUsage;
  if (words.size() != (verb == "remove" ? 3u : 4u)) return kUsage;
  auto bssid = ParseMac(words[2]);
  if (!bssid) return "error ap " + verb + ": \"" + words[2] + "\" is not a BSSID";
  if (verb == "remove") {
    if (!wlan_.removeAccessPoint(*bssid)) return "error no access point " + FormatMac(*bssid);
    shareWpsWorld();
    wlanChanged();
    return "ok removed " + FormatMac(*bssid);
  }
  int64_t dbm = 0;
  if (!ParseInteger(words[3], -120, 0, &dbm)) {
    return "error ap move: DBM must be a whole number from -120 to 0";
  }
  if (!wlan_.moveAccessPoint(*bssid, static_cast<int32_t>(dbm))) {
    return "error no access point " + FormatMac(*bssid);
  }
  shareWpsWorld();
  wlanChanged();
  return "ok moved " + FormatMac(*bssid) + " " + std::to_string(dbm);
}

std::string SimDaemon::executeStations(const std::vector<std::string>& words) {
  static constexpr char kUsage[] =
      "error usage: stations NAME | station add NAME MAC DBM | station remove NAME MAC";
  const bool list = words[0] == "stations";
  if (list ? words.size() != 2 : words.size() < 2) return kUsage;
  const std::string& verb = list ? words[0] : words[1];
  if (!list && !(verb == "add" && words.size() == 5) && !(verb == "remove" && words.size() == 4)) {
    return kUsage;
  }
  const std::string& which = list ? words[1] : words[2];
  Adapter* adapter = find(which);
  if (!adapter) return "error no adapter named \"" + which + "\"";
  SimulatedAdapter& driver = *adapter->driver;
  const std::string& name = driver.spec().name;
  if (list) {
    if (!adapter->server.running()) return "error " + name + " is unplugged";
    if (!driver.servesAccessPoint()) return "error " + name + " is a station, not an access point";
    std::string reply = "ok";
    for (const ApStation& s : driver.apStations()) {
      reply += " " + FormatMac(s.mac) + "/" + std::to_string(s.signalDbm);
    }
    return reply;
  }
  auto mac = ParseMac(words[3]);
  if (!mac || ((*mac)[0] & 0x01) || *mac == MacAddress{}) {
    return "error station " + verb + ": \"" + words[3] + "\" is not a unicast MAC address";
  }
  if (verb == "remove") {
    if (!driver.removeApStation(*mac)) return "error " + name + " has no station " + FormatMac(*mac);
    return "ok removed " + FormatMac(*mac);
  }
  int64_t dbm = 0;
  if (!ParseInteger(words[4], -120, 0, &dbm)) {
    return "error station add: DBM must be a whole number from -120 to 0";
  }
  if (!driver.addApStation({*mac, static_cast<int32_t>(dbm)})) {
    return "error " + name + " lists " + FormatMac(*mac) + " already or has " +
           std::to_string(kMaxApStations) + " stations";
  }
  return "ok added " + FormatMac(*mac);
}

}  // namespace ov::sim
