#include "shell/monitor_wifi.h"

#include <algorithm>

#include "platform/time/monitor_messages.h"

namespace ov {

using namespace wlan;

std::optional<Message> MonitorMessageFor(const Notification& n) {
  if (n.source == WLAN_NOTIFICATION_SOURCE_ACM) {
    switch (n.code) {
      case wlan_notification_acm_connection_complete: {
        const bool fromProfile =
            n.connection && n.connection->mode == wlan_connection_mode_profile;
        return Message{WM_MON_CONNECT_DONE, fromProfile ? 1u : 0u, 0};
      }
      case wlan_notification_acm_scan_complete: return Message{WM_MON_SCAN_DONE, 0, 0};
      case wlan_notification_acm_scan_fail: return Message{WM_MON_SCAN_FAILED, 0, 0};
      case wlan_notification_acm_disconnected: return Message{WM_MON_DISCONNECTED, 0, 0};
      case wlan_notification_acm_connection_start: return Message{WM_MON_CONNECTING, 0, 0};
      case wlan_notification_acm_connection_attempt_fail:
        return Message{WM_MON_ATTEMPT_FAILED, 0, 0};
      case wlan_notification_acm_interface_arrival: return Message{WM_MON_IFACE_ARRIVED, 0, 0};
      case wlan_notification_acm_profile_change: return Message{WM_MON_PROFILE_CHANGED, 0, 0};
      default: return std::nullopt;
    }
  }
  if (n.source == WLAN_NOTIFICATION_SOURCE_MSM) {
    if (n.code == wlan_notification_msm_roaming_end) return Message{WM_MON_ROAMED, 0, 0};
    if (n.code == wlan_notification_msm_radio_state_change && n.radio) {
      if (n.radio->software == dot11_radio_state_on) return Message{WM_MON_RADIO_ON, 0, 0};
      if (n.radio->software == dot11_radio_state_off) return Message{WM_MON_RADIO_OFF, 0, 0};
    }
  }
  return std::nullopt;
}

WlanServiceMonitorWifi::WlanServiceMonitorWifi(WlanService& service) : service_(service) {}

WlanServiceMonitorWifi::~WlanServiceMonitorWifi() {
  if (open_) service_.CloseHandle(handle_);
}

void WlanServiceMonitorWifi::SetMessageTarget(MessageTarget target) {
  std::lock_guard lock(targetMutex_);
  target_ = std::move(target);
}

bool WlanServiceMonitorWifi::EnsureHandle() {
  if (open_) return true;
  uint32_t version = 0;
  if (service_.OpenHandle(kClientVersion2, &version, &handle_) != ERROR_SUCCESS) return false;
  open_ = true;
  // Notifications arrive on the client's thread: they only become posted messages.
  service_.RegisterNotification(
      handle_, WLAN_NOTIFICATION_SOURCE_ACM | WLAN_NOTIFICATION_SOURCE_MSM, true,
      [this](const Notification& n) { OnNotification(n); }, nullptr);
  return true;
}

void WlanServiceMonitorWifi::OnNotification(const Notification& n) {
  if (interface_ && n.interfaceGuid != *interface_) return;
  auto message = MonitorMessageFor(n);
  if (!message) return;
  std::lock_guard lock(targetMutex_);
  target_.post(*message);
}

bool WlanServiceMonitorWifi::OpenInterface(const std::string& description) {
  description_ = description;
  interface_.reset();
  if (!EnsureHandle()) return false;
  std::vector<InterfaceInfo> interfaces;
  if (service_.EnumInterfaces(handle_, &interfaces) != ERROR_SUCCESS) return false;
  for (const InterfaceInfo& info : interfaces) {
    if (info.description == description) {
      interface_ = info.guid;
      return true;
    }
  }
  return false;
}

std::optional<ConnectionAttributes> WlanServiceMonitorWifi::Connection() {
  if (!interface_ || !EnsureHandle()) return std::nullopt;
  InterfaceQueryResult result;
  if (service_.QueryInterface(handle_, *interface_, wlan_intf_opcode_current_connection,
                              &result) != ERROR_SUCCESS)
    return std::nullopt;
  return result.connection;
}

std::optional<bool> WlanServiceMonitorWifi::QueryConnected() {
  if (!interface_ || !EnsureHandle()) return std::nullopt;
  InterfaceQueryResult result;
  if (service_.QueryInterface(handle_, *interface_, wlan_intf_opcode_interface_state, &result) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return result.state == wlan_interface_state_connected;
}

bool WlanServiceMonitorWifi::CurrentLink(std::string* ssid, MacAddress* bssid) {
  ssid->clear();
  *bssid = {};
  auto connection = Connection();
  if (!connection || connection->state != wlan_interface_state_connected) return false;
  *ssid = connection->association.ssid.text();
  std::copy(connection->association.bssid.begin(), connection->association.bssid.end(),
            bssid->begin());
  return true;
}

std::optional<uint32_t> WlanServiceMonitorWifi::CurrentAuthAlgorithm() {
  auto connection = Connection();
  if (!connection) return std::nullopt;
  return static_cast<uint32_t>(connection->security.authAlgorithm);
}

std::optional<uint32_t> WlanServiceMonitorWifi::CurrentCipherAlgorithm() {
  auto connection = Connection();
  if (!connection) return std::nullopt;
  return static_cast<uint32_t>(connection->security.cipherAlgorithm);
}

void WlanServiceMonitorWifi::SetSoftwareRadio(bool on) {
  if (!interface_ || !EnsureHandle()) return;
  InterfaceQueryResult result;
  if (service_.QueryInterface(handle_, *interface_, wlan_intf_opcode_radio_state, &result) !=
      ERROR_SUCCESS)
    return;
  for (const PhyRadioState& phy : result.radio) {
    const RadioState wanted = on ? dot11_radio_state_on : dot11_radio_state_off;
    if (phy.software == wanted) continue;
    PhyRadioState state = phy;
    state.software = wanted;
    service_.SetInterface(handle_, *interface_, wlan_intf_opcode_radio_state, state);
  }
}

bool WlanServiceMonitorWifi::DeleteAllProfiles() {
  if (!interface_ || !EnsureHandle()) return false;
  std::vector<ProfileInfo> profiles;
  if (service_.GetProfileList(handle_, *interface_, &profiles) != ERROR_SUCCESS) return false;
  for (const ProfileInfo& profile : profiles)
    service_.DeleteProfile(handle_, *interface_, profile.name);
  return true;
}

void WlanServiceMonitorWifi::ConnectionComplete(bool fromProfile) { (void)fromProfile; }

bool WlanServiceMonitorWifi::ServiceRunning() {
  // A service that answers a handle request runs.
  if (open_) {
    std::vector<InterfaceInfo> interfaces;
    return service_.EnumInterfaces(handle_, &interfaces) == ERROR_SUCCESS;
  }
  return EnsureHandle();
}

}  // namespace ov
