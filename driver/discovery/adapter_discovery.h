#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "driver/adapter_info.h"
#include "driver/discovery/adapter_chooser.h"
#include "driver/discovery/device_id_table.h"
#include "driver/discovery/net_devices.h"
#include "driver/oid_channel.h"
#include "driver/os_version.h"
#include "platform/deviceio/device_io.h"

// Finds the adapter the utility serves: the present network devices whose hardware identifier is
// in the identifier tables and whose device file opens; the user picks one when there are
// several. The monitor window owns one AdapterDiscovery for its lifetime (it keeps the tables,
// the match flags and the readiness counter) and calls DiscoverAdapter at start and whenever the
// adapter is gone.
namespace ov {

// Attempts answered "not ready" before the adapter is taken anyway.
constexpr int kNotReadyAttempts = 3;

class AdapterDiscovery {
 public:
  // `channel` is pointed at the chosen device for the readiness query; `deviceIo` is what the
  // device files are opened with. All references must outlive the object.
  AdapterDiscovery(NetDeviceSource& devices, DeviceIo& deviceIo, OidChannel& channel,
                   DeviceIdTables tables, OsVersionCode osVersionCode = kLinuxOsVersionCode);

  // Fills every discovery field of `info` and returns true when an adapter was selected; on
  // false `info` is left as it was.
  bool DiscoverAdapter(AdapterInfo& info);

  // Asked when two or more adapters are found; nullptr (the default) takes the first. A choice
  // closed without confirming one also takes the first, so that the next tick does not ask again
  // at once.
  void setChooser(AdapterChooser* chooser) { chooser_ = chooser; }
  // Receives the selected adapter's description, for the native wireless client to open the
  // matching interface.
  void setDescriptionHandler(std::function<void(const std::string&)> handler) {
    descriptionHandler_ = std::move(handler);
  }

  // Consecutive "not ready" answers so far; reset when an adapter is accepted or none is found.
  int readinessCounter() const { return readyRetries_; }
  void resetReadinessCounter() { readyRetries_ = 0; }

  // The flags of the last match (the selected device's after a successful run).
  const MatchFlags& matchFlags() const { return flags_; }
  // The monitor clears the USB flag when its adapter check finds no adapter.
  void clearUsbMatch() { flags_.matchedUsb = false; }

  const DeviceIdTables& tables() const { return tables_; }

 private:
  struct Candidate {
    size_t deviceIndex = 0;
    ChipFamily family = CHIP_FAMILY_NONE;
  };

  std::vector<Candidate> collectCandidates(const std::vector<NetDevice>& devices);
  size_t chooseCandidate(const std::vector<NetDevice>& devices,
                         const std::vector<Candidate>& candidates);
  // "\\.\<NetCfgInstanceId>", or the legacy driver name on the old systems; nothing when it
  // cannot be had. `netCfgInstanceId` gets the id read on the way.
  std::optional<std::string> devicePathOf(const NetDevice& device, int32_t family,
                                          std::string* netCfgInstanceId);
  bool deviceFileOpens(const std::string& path);
  bool adapterReady();

  NetDeviceSource& devices_;
  DeviceIo& deviceIo_;
  OidChannel& channel_;
  DeviceIdTables tables_;
  OsVersionCode osVersionCode_;
  AdapterChooser* chooser_ = nullptr;
  std::function<void(const std::string&)> descriptionHandler_;
  MatchFlags flags_;
  int readyRetries_ = 0;
};

}  // namespace ov
