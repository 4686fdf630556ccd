#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/adapter_registry.h"
#include "sim/netns_links.h"
#include "sim/scenario.h"
#include "sim/sim_clock.h"
#include "sim/simulated_adapter.h"
#include "sim/wlan_service_core.h"
#include "sim/wlan_socket_server.h"

namespace ov {
class DeviceSocketServer;
}

// The simulated hardware of one machine root: for each adapter of the scenario its registry
// entries, its driver and its device socket, and the commands of the control socket. Presence
// is the device socket: unplugging removes it (the Enum node stays, as the host keeps it),
// plugging creates it again and restarts the driver from its registry parameters.
namespace ov::sim {

class SimDaemon {
 public:
  explicit SimDaemon(const SimClock& clock);
  ~SimDaemon();
  SimDaemon(const SimDaemon&) = delete;
  SimDaemon& operator=(const SimDaemon&) = delete;

  // Writes the registry entries, plugs every adapter and builds the wireless service's world
  // (one interface per adapter, the scenario's access points). On failure nothing is left
  // serving and *error says what failed.
  bool start(const Scenario& scenario, std::string* error);
  // Serves the wireless service on <root>/run/ovui/wlansvc (after start). Its thread reads the
  // clock given to the constructor, which must then be callable from any thread.
  bool startWlanService(std::string* error);
  // Unplugs every adapter and stops the wireless service's socket.
  void stop();
  // From now on (call before start) each associated adapter has a veth end in the network
  // namespace (ovsimd --netns); the links are the caller's, who must outlive the daemon's run.
  void useNetnsLinks(NetnsLinks* links) { netns_ = links; }

  // One control-socket line → its reply:
  //   list                → "ok NAME:plugged NAME:unplugged ..."
  //   unplug NAME         → "ok unplugged NAME"
  //   plug NAME           → "ok plugged NAME"
  //   busy NAME MS        → "ok busy NAME MS"       (every set fails for MS milliseconds)
  //   signal NAME DBM     → "ok signal NAME DBM"    (chain 0 reads DBM)
  //   radio NAME on|off   → "ok radio NAME on|off"  (the adapter's hardware radio switch)
  //   wps-button NAME     → "ok wps-button NAME"    (the adapter's WPS push button: the driver
  //                                                  starts a push-button run of its own)
  //   ap list             → "ok BSSID/CHANNEL/DBM/SSIDHEX ..."
  //   ap add JSON         → "ok added BSSID"        (JSON: one access point object, one line)
  //   ap remove BSSID     → "ok removed BSSID"
  //   ap move BSSID DBM   → "ok moved BSSID DBM"    (the access point's signal, -120 to 0)
  //   stations NAME       → "ok MAC/DBM ..."        (associated while NAME serves as an AP;
  //                                                  an error while it is a station)
  //   station add NAME MAC DBM → "ok added MAC"
  //   station remove NAME MAC  → "ok removed MAC"
  // NAME is the adapter's name or its NetCfgInstanceId "{...}". Anything else → "error ...".
  std::string execute(std::string_view line);

  SimulatedAdapter* adapter(std::string_view name);
  WlanServiceCore& wlanService() { return wlan_; }
  const AdapterRegistryPaths* registryPaths(std::string_view name) const;

 private:
  struct Adapter;
  Adapter* find(std::string_view name);
  const Adapter* find(std::string_view name) const;
  bool plug(Adapter& adapter, std::string* error);
  void unplug(Adapter& adapter);
  std::string executeAccessPoint(const std::vector<std::string>& words, std::string_view line);
  std::string executeStations(const std::vector<std::string>& words);
  void wlanChanged();
  // Every driver's WPS runs see the access points as they are now.
  void shareWpsWorld();

  const SimClock& clock_;
  std::vector<std::unique_ptr<Adapter>> adapters_;
  WlanServiceCore wlan_;
  WlanSocketServer wlanServer_;
  NetnsLinks* netns_ = nullptr;
};

}  // namespace ov::sim
