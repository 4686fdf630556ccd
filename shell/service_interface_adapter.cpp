#include "shell/service_interface_adapter.h"

#include <algorithm>

namespace ov {

ServiceInterfaceAdapter::ServiceInterfaceAdapter(std::shared_ptr<wlan::WlanService> service)
    : service_(std::move(service)) {}

ServiceInterfaceAdapter::~ServiceInterfaceAdapter() {
  if (service_ && handle_) service_->CloseHandle(handle_);
}

bool ServiceInterfaceAdapter::Interfaces(std::vector<wlan::InterfaceInfo>* out) {
  if (!service_) return false;
  if (!handle_) {
    uint32_t version = 0;
    if (service_->OpenHandle(wlan::kClientVersion2, &version, &handle_) != wlan::ERROR_SUCCESS) {
      handle_ = 0;
      return false;
    }
  }
  if (service_->EnumInterfaces(handle_, out) == wlan::ERROR_SUCCESS) return true;
  // A service that went away gives out new handles when it is back.
  service_->CloseHandle(handle_);
  handle_ = 0;
  return false;
}

bool ServiceInterfaceAdapter::DiscoverAdapter(AdapterInfo& info) {
  std::vector<wlan::InterfaceInfo> interfaces;
  if (!Interfaces(&interfaces) || interfaces.empty()) return false;
  auto it = std::find_if(interfaces.begin(), interfaces.end(),
                         [this](const wlan::InterfaceInfo& i) { return chosen_ && i.guid == *chosen_; });
  if (it == interfaces.end()) it = interfaces.begin();
  chosen_ = it->guid;
  const bool isAdmin = info.isAdmin;
  const bool isWow64 = info.isWow64;
  info = AdapterInfo{};
  info.isAdmin = isAdmin;
  info.isWow64 = isWow64;
  info.noVendorDriver = true;
  SetDescription(info, it->description);
  info.netCfgInstanceId = wlan::FormatGuid(it->guid);
  return true;
}

bool ServiceInterfaceAdapter::IsDevicePresent() {
  std::vector<wlan::InterfaceInfo> interfaces;
  if (!chosen_ || !Interfaces(&interfaces)) return false;
  return std::any_of(interfaces.begin(), interfaces.end(),
                     [this](const wlan::InterfaceInfo& i) { return i.guid == *chosen_; });
}

}  // namespace ov
