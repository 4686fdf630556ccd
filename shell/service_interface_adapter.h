#pragma once
#include <memory>
#include <optional>

#include "nativewifi/wlansvc/wlan_service.h"
#include "shell/monitor_seams.h"

// The monitor's adapter when there is no vendor driver (the wireless service is the machine's
// NetworkManager): the adapter is the service's first wireless interface, marked
// AdapterInfo::noVendorDriver, and its driver answers no OID, so every driver-side feature
// reads as unavailable instead of waiting for a device that is not there.
namespace ov {

// Answers every query and set with failure.
class NoDriverOids final : public OidRequester {
 public:
  bool QueryOid(uint32_t, uint8_t*, uint32_t, uint32_t* bytesReturned) override {
    if (bytesReturned) *bytesReturned = 0;
    return false;
  }
  bool SetOid(uint32_t, uint8_t*, uint32_t, uint32_t* bytesReturned, int) override {
    if (bytesReturned) *bytesReturned = 0;
    return false;
  }
};

class ServiceInterfaceAdapter final : public MonitorAdapter {
 public:
  explicit ServiceInterfaceAdapter(std::shared_ptr<wlan::WlanService> service);
  ~ServiceInterfaceAdapter() override;

  // The interface chosen before when it is still there, else the service's first; the
  // description is the interface's, the instance id its GUID.
  bool DiscoverAdapter(AdapterInfo& info) override;
  bool IsDevicePresent() override;
  OidRequester& Driver() override { return driver_; }
  void ClearUsbMatch() override {}

 private:
  bool Interfaces(std::vector<wlan::InterfaceInfo>* out);

  std::shared_ptr<wlan::WlanService> service_;
  wlan::ClientHandle handle_ = 0;
  std::optional<wlan::Guid> chosen_;
  NoDriverOids driver_;
};

}  // namespace ov
