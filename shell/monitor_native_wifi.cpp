#include "shell/monitor_native_wifi.h"

#include <algorithm>

#include "nativewifi/wlansvc/wlan_types.h"

namespace ov {

AdapterAddressRenewal::AdapterAddressRenewal(Factory make) : make_(std::move(make)) {
  if (!make_) {
    make_ = [](const MacAddress& mac) { return std::make_unique<SystemAddressRenewal>(mac); };
  }
}

void AdapterAddressRenewal::SetAdapterAddress(const MacAddress& mac) {
  std::lock_guard lock(mutex_);
  mac_ = mac;
}

void AdapterAddressRenewal::RenewAddress() {
  std::optional<MacAddress> mac;
  {
    std::lock_guard lock(mutex_);
    mac = mac_;
  }
  if (!mac) return;
  if (auto renewal = make_(*mac)) renewal->RenewAddress();
}

NativeWifiMonitorWifi::NativeWifiMonitorWifi(NativeWifiClient& client,
                                             std::shared_ptr<wlan::WlanService> service,
                                             bool allUsersProfiles,
                                             std::shared_ptr<AdapterAddressRenewal> renewal)
    : client_(client),
      service_(std::move(service)),
      allUsersProfiles_(allUsersProfiles),
      renewal_(std::move(renewal)) {}

void NativeWifiMonitorWifi::SetAdapterAddress(const MacAddress& mac) {
  if (renewal_) renewal_->SetAdapterAddress(mac);
}

bool NativeWifiMonitorWifi::OpenInterface(const std::string& description) {
  client_.Open(description, target_, allUsersProfiles_);
  return client_.InterfaceMatched();
}

std::optional<bool> NativeWifiMonitorWifi::QueryConnected() {
  // A failed query is told apart from "not connected": the adapter may be gone. The interface
  // state answers without a link (the current connection does not), so an idle adapter is not
  // taken for a lost one and reopened on every tick.
  if (!client_.IsOpen() || !client_.InterfaceMatched()) return std::nullopt;
  return client_.QueryInterfaceConnected();
}

bool NativeWifiMonitorWifi::CurrentLink(std::string* ssid, MacAddress* bssid) {
  NDIS_802_11_SSID current;
  const bool haveSsid = client_.GetCurrentSsid(current);
  const bool haveBssid = client_.GetCurrentBssid(*bssid);
  const size_t length = std::min<size_t>(current.SsidLength, current.Ssid.size());
  ssid->assign(reinterpret_cast<const char*>(current.Ssid.data()), length);
  return haveSsid && haveBssid;
}

std::optional<uint32_t> NativeWifiMonitorWifi::CurrentSignalQuality() {
  uint32_t quality = 0;
  if (!client_.GetSignalQuality(quality)) return std::nullopt;
  return quality;
}

std::optional<uint32_t> NativeWifiMonitorWifi::CurrentAuthAlgorithm() {
  uint32_t value = 0;
  if (!client_.GetAuthAlgorithm(value)) return std::nullopt;
  return value;
}

std::optional<uint32_t> NativeWifiMonitorWifi::CurrentCipherAlgorithm() {
  uint32_t value = 0;
  if (!client_.GetCipherAlgorithm(value)) return std::nullopt;
  return value;
}

void NativeWifiMonitorWifi::SetSoftwareRadio(bool on) { client_.SetSoftwareRadio(on); }

bool NativeWifiMonitorWifi::DeleteAllProfiles() {
  client_.DeleteAllProfiles();
  return true;
}

bool NativeWifiMonitorWifi::ServiceProfileExists(std::string_view name) {
  return client_.ServiceProfileExists(std::string(name));
}

bool NativeWifiMonitorWifi::DeleteServiceProfile(std::string_view name) {
  return client_.DeleteServiceProfile(std::string(name)) == ERROR_SUCCESS;
}

void NativeWifiMonitorWifi::ConnectionComplete(bool fromProfile) {
  client_.ApplyDeferredSettings(fromProfile ? 1 : 0);
}

bool NativeWifiMonitorWifi::ServiceRunning() {
  // The service runs when it gives out a handle.
  if (!service_) return false;
  uint32_t version = 0;
  wlan::ClientHandle handle = 0;
  if (service_->OpenHandle(wlan::kClientVersion2, &version, &handle) != wlan::ERROR_SUCCESS)
    return false;
  service_->CloseHandle(handle);
  return true;
}

bool NativeWifiMonitorWifi::CopyScanList(std::span<uint8_t> buffer) {
  return client_.CopyScanList(buffer);
}

}  // namespace ov
