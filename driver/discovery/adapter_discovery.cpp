#include "driver/discovery/adapter_discovery.h"

#include "driver/oid/oid_requests.h"
#include "driver/params/adapter_params.h"
#include "platform/deviceio/device_protocol.h"

namespace ov {
namespace {

constexpr const char* kDevicePrefix = "\\\\.\\";

bool UsesNetCfgInstanceId(OsVersionCode code) { return code >= 7; }
bool UsesLegacyDeviceName(OsVersionCode code) { return code == 4 || code == 5; }

}  // namespace

AdapterDiscovery::AdapterDiscovery(NetDeviceSource& devices, DeviceIo& deviceIo,
                                   OidChannel& channel, DeviceIdTables tables,
                                   OsVersionCode osVersionCode)
    : devices_(devices),
      deviceIo_(deviceIo),
      channel_(channel),
      tables_(std::move(tables)),
      osVersionCode_(osVersionCode) {}

std::optional<std::string> AdapterDiscovery::devicePathOf(const NetDevice& device, int32_t family,
                                                          std::string* netCfgInstanceId) {
  if (UsesNetCfgInstanceId(osVersionCode_)) {
    auto id = devices_.ReadDriverString(device, param::kNetCfgInstanceId.name);
    if (!id || id->empty()) return std::nullopt;
    if (netCfgInstanceId) *netCfgInstanceId = *id;
    return kDevicePrefix + *id;
  }
  if (UsesLegacyDeviceName(osVersionCode_)) {
    auto name = LegacyDriverDeviceName(family);
    if (!name || name->empty()) return std::nullopt;
    return kDevicePrefix + *name;
  }
  return std::nullopt;  // no device-path scheme on this system
}

bool AdapterDiscovery::deviceFileOpens(const std::string& path) {
  return deviceIo_.open(path) != nullptr;  // closed again at once
}

std::vector<AdapterDiscovery::Candidate> AdapterDiscovery::collectCandidates(
    const std::vector<NetDevice>& devices) {
  std::vector<Candidate> candidates;
  for (size_t index = 0; index < devices.size(); ++index) {
    const NetDevice& device = devices[index];
    const std::string id = HardwareIdPrefix(device.firstHardwareId());
    if (id.empty()) continue;
    // Matching writes the family into an adapter record; use a scratch one so that a run
    // that selects nothing leaves the process-wide record alone.
    AdapterInfo scratch;
    if (!MatchHardwareId(tables_, id, scratch, flags_)) continue;
    auto path = devicePathOf(device, scratch.chipFamily, nullptr);
    if (!path || !deviceFileOpens(*path)) continue;
    candidates.push_back({index, scratch.chipFamily});
  }
  return candidates;
}

size_t AdapterDiscovery::chooseCandidate(const std::vector<NetDevice>& devices,
                                         const std::vector<Candidate>& candidates) {
  if (candidates.size() < 2) return 0;
  std::vector<AdapterCandidate> shown;
  for (const Candidate& c : candidates) {
    const NetDevice& d = devices[c.deviceIndex];
    shown.push_back({c.deviceIndex, d.friendlyName, d.deviceDesc, d.firstHardwareId(),
                     d.locationInformation, d.mfg});
  }
  FirstAdapterChooser first;
  AdapterChooser& chooser = chooser_ ? *chooser_ : first;
  const auto chosen = chooser.ChooseAdapter(shown);
  if (!chosen || *chosen >= candidates.size()) return 0;
  return *chosen;
}

bool AdapterDiscovery::adapterReady() {
  uint32_t ready = 0;
  QueryNicReady(channel_, ready);  // a failed query leaves 0: not ready
  return ready == 1;
}

bool AdapterDiscovery::DiscoverAdapter(AdapterInfo& info) {
  // 1. The present network devices.
  auto devices = devices_.EnumerateNetDevices();
  if (!devices) {
    readyRetries_ = 0;
    return false;
  }

  // 2-3. Supported adapters whose device file opens.
  const std::vector<Candidate> candidates = collectCandidates(*devices);
  if (candidates.empty()) {
    readyRetries_ = 0;
    return false;
  }

  // 4. One of them.
  const Candidate selected = candidates[chooseCandidate(*devices, candidates)];
  const NetDevice& device = (*devices)[selected.deviceIndex];
  const std::string id = HardwareIdPrefix(device.firstHardwareId());

  // 5. Ready? A driver that keeps saying no is taken after a few attempts anyway.
  auto readyPath = devicePathOf(device, selected.family, nullptr);
  if (!readyPath) return false;
  channel_.setDevicePath(*readyPath);
  if (!adapterReady() && readyRetries_ < kNotReadyAttempts) {
    ++readyRetries_;
    return false;
  }
  readyRetries_ = 0;

  // The rest is read before anything is stored, so that a failure leaves `info` as it was.
  std::string netCfgInstanceId;
  auto devicePath = devicePathOf(device, selected.family, &netCfgInstanceId);  // 8.
  if (!devicePath) return false;
  // A device without a driver key name has no parameters to work with; an empty name would
  // make the class key itself the adapter key.
  if (device.driver.empty()) return false;

  AdapterInfo updated = info;
  // 6. Description.
  SetDescription(updated, device.displayName());
  // 7. Identifier and family of the selected device.
  SetHardwareId(updated, id);
  MatchHardwareId(tables_, updated.hardwareId, updated, flags_);
  updated.isFirstGeneration = IsFirstGeneration(updated.chipFamily);
  // 8. Device path.
  SetDevicePath(updated, *devicePath);
  if (UsesNetCfgInstanceId(osVersionCode_)) updated.netCfgInstanceId = netCfgInstanceId;
  // 9. Adapter key.
  SetAdapterKeyPath(updated, MakeAdapterKeyPath(osVersionCode_, device.driver));
  // 10. 802.11n.
  std::optional<uint32_t> countryWirelessMode;
  if (auto value = devices_.ReadDriverValue(device, param::kCountryWirelessMode.name)) {
    countryWirelessMode = DecodeWordValue(value->data);
  }
  updated.htCapable = HtCapable(osVersionCode_, updated.chipFamily, countryWirelessMode);

  info = std::move(updated);
  channel_.setDevicePath(info.devicePath);
  if (descriptionHandler_) descriptionHandler_(info.description);
  return true;
}

}  // namespace ov
