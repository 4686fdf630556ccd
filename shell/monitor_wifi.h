#pragma once
#include <mutex>
#include <optional>
#include <string>

#include "nativewifi/wlansvc/wlan_service.h"
#include "platform/time/message_service.h"
#include "shell/monitor_seams.h"

// The monitor's wireless calls over the host's wireless service: one client handle, the
// interface found by its description, and the service's notifications turned into the monitor's
// posted messages.
namespace ov {

class WlanServiceMonitorWifi final : public MonitorWifi {
 public:
  // `service` must outlive this object.
  explicit WlanServiceMonitorWifi(wlan::WlanService& service);
  ~WlanServiceMonitorWifi() override;
  WlanServiceMonitorWifi(const WlanServiceMonitorWifi&) = delete;
  WlanServiceMonitorWifi& operator=(const WlanServiceMonitorWifi&) = delete;

  // Where the service's notifications go as window messages (0x401 ...); an empty target
  // posts nowhere.
  void SetMessageTarget(MessageTarget target);

  bool OpenInterface(const std::string& description) override;
  std::optional<bool> QueryConnected() override;
  bool CurrentLink(std::string* ssid, MacAddress* bssid) override;
  std::optional<uint32_t> CurrentAuthAlgorithm() override;
  std::optional<uint32_t> CurrentCipherAlgorithm() override;
  void SetSoftwareRadio(bool on) override;
  bool DeleteAllProfiles() override;
  void ConnectionComplete(bool fromProfile) override;
  bool ServiceRunning() override;

  bool HasInterface() const { return interface_.has_value(); }

 private:
  bool EnsureHandle();
  std::optional<wlan::ConnectionAttributes> Connection();
  void OnNotification(const wlan::Notification& n);

  wlan::WlanService& service_;
  wlan::ClientHandle handle_{};
  bool open_ = false;
  std::optional<wlan::Guid> interface_;
  std::string description_;
  std::mutex targetMutex_;
  MessageTarget target_;
};

// The window message a service notification becomes, with its wParam; nothing for those the
// monitor does not take.
std::optional<Message> MonitorMessageFor(const wlan::Notification& n);

}  // namespace ov
